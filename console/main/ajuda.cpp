#include "console/main/ajuda.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace belmora {

std::string PaginaDeAjuda(int contexto) {
    return contexto > 0 ? "Ajuda/" + std::to_string(contexto) + ".html" : std::string("Ajuda/indice.html");
}

TfrmAjuda::TfrmAjuda(QWidget* parent) : QDialog(parent), navegador_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("frmAjuda"));
    setWindowTitle(QStringLiteral("Belmora - Ajuda"));
    setModal(false);
    resize(560, 420);
    navegador_->setObjectName(QStringLiteral("Navegador"));
    navegador_->setOpenLinks(true);
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(navegador_);
}

void TfrmAjuda::Mostra(const QString& arquivo) {
    navegador_->setSource(QUrl::fromLocalFile(arquivo));
    show();
    raise();
    activateWindow();
}

}  // namespace belmora
