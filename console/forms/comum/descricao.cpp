#include "console/forms/comum/descricao.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimeEdit>

#include "components/enhedit.h"
#include "console/main/campo_cpf_cnpj.h"
#include "console/main/formularios.h"

namespace belmora {

QWidget* CriaCampo(TFormulario& f, const DescricaoCampo& c) {
    const QString rotulo = QString::fromUtf8(c.rotulo);
    const QString inicial = QString::fromUtf8(c.inicial);
    switch (c.tipo) {
        case TipoCampo::Texto:
            return f.CampoTexto(c.nome, rotulo, c.tamanho, inicial);
        case TipoCampo::Numerico:
            return f.CampoNumerico(c.nome, rotulo, c.tamanho, c.casas, inicial);
        case TipoCampo::CpfCnpj:
            return f.CampoCpfCnpj(c.nome, rotulo, c.tamanho);
        case TipoCampo::Lista: {
            QStringList itens;
            for (const char* i : c.itens) itens << QString::fromUtf8(i);
            return f.CampoLista(c.nome, rotulo, itens, inicial);
        }
        case TipoCampo::Memo:
            return f.CampoMemo(c.nome, rotulo, c.tamanho);
        case TipoCampo::Data:
            return f.CampoData(c.nome, rotulo);
        case TipoCampo::Hora:
            return f.CampoHora(c.nome, rotulo);
        case TipoCampo::Rotulo:
            return f.Rotulo(c.nome, inicial);
    }
    return nullptr;
}

TFormularioDescrito::TFormularioDescrito(const DescricaoFormulario& d, QWidget* parent)
    : TFormulario(d.classe, QString::fromUtf8(d.titulo), parent), d_(d) {
    for (const DescricaoCampo& c : d.campos) CriaCampo(*this, c);
    if (QWidget* foco = findChild<QWidget*>(QString::fromUtf8(d.foco))) DefineFoco(foco);
}

void TFormularioDescrito::Ok() {
    Executa(
        d_.inicio ? QString::fromUtf8(d_.inicio) : QString(), [this] { return d_.chamada(*this); },
        QString::fromUtf8(d_.prefixo));
}

void RegistraDescritos(const std::vector<DescricaoFormulario>& tabela) {
    for (const DescricaoFormulario& d : tabela)
        RegistraFormulario(d.classe, [&d]() -> QWidget* { return new TFormularioDescrito(d); });
}

}  // namespace belmora
