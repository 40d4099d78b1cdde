// The pictures the console draws itself (logo, the tile of the top strip, list and title
// icons) and the loading of the menu pictures from the folder "Imagens".
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

class QWidget;

namespace belmora {

QPixmap Logotipo();
QIcon IconeOpcao();
QPixmap IconeSubMenu();

// The top strip's background: a picture panel with a tiled background, nothing animated.
QWidget* CriaFundoTopo(QWidget* parent);

// A picture of the folder "Imagens" by its relative name: from the current folder, as the
// system loads it, else from the folders of ArquivoDoConsole. A missing file gives a plain
// picture with `texto` on it, so the window stays usable.
QPixmap CarregaImagem(const std::string& relativo, const QString& texto, QSize tamanho);

}  // namespace belmora
