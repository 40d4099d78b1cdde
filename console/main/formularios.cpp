#include "console/main/formularios.h"

#include <QLabel>
#include <QVBoxLayout>
#include <map>

namespace belmora {

namespace {
std::map<std::string, FabricaFormulario>& Registro() {
    static std::map<std::string, FabricaFormulario> r;
    return r;
}
}  // namespace

void RegistraFormulario(const std::string& classe, FabricaFormulario fabrica) {
    Registro()[classe] = std::move(fabrica);
}

QWidget* CriaFormulario(const std::string& classe) {
    auto i = Registro().find(classe);
    return i == Registro().end() ? nullptr : i->second();
}

TfrmIndisponivel::TfrmIndisponivel(const QString& titulo, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TfrmIndisponivel"));
    setWindowTitle(titulo);
    auto* layout = new QVBoxLayout(this);
    auto* aviso =
        new QLabel(QStringLiteral("Esta opção ainda não está disponível nesta versão do Belmora."), this);
    aviso->setObjectName(QStringLiteral("lblIndisponivel"));
    aviso->setAlignment(Qt::AlignCenter);
    aviso->setWordWrap(true);
    QFont f = aviso->font();
    f.setPointSize(f.pointSize() + 2);
    aviso->setFont(f);
    layout->addStretch();
    layout->addWidget(aviso);
    layout->addStretch();
}

}  // namespace belmora
