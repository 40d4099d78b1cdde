// Help: one HTML page per help context, shipped with the console under "Ajuda", shown in a
// window of its own.
#pragma once

#include <QDialog>
#include <string>

class QTextBrowser;

namespace belmora {

// Relative name of the page of a help context: "Ajuda/<n>.html", the contents
// ("Ajuda/indice.html") for 0.
std::string PaginaDeAjuda(int contexto);

class TfrmAjuda : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmAjuda(QWidget* parent = nullptr);
    // Shows the page (a file name) and brings the window to the front.
    void Mostra(const QString& arquivo);
    QTextBrowser* Navegador() const { return navegador_; }

  private:
    QTextBrowser* navegador_;
};

}  // namespace belmora
