// Discounts and surcharges: on an item (both receipts) and on the subtotal.
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>

#include "components/enhedit.h"
#include "console/binding/ecf_dll.h"
#include "console/forms/cupom/cupom.h"

namespace belmora {

namespace {

// The value field of the discount forms, when entered: a percentage takes 5 characters with
// 2 decimals, an amount 8 characters and no decimals.
void AjustaValorPerc(tarvo::TEnhancedEdit* campo, bool percentual) {
    campo->setMaxLength(percentual ? 5 : 8);
    campo->SetDigits(percentual ? 2 : 0);
}

}  // namespace

TfrmAcresceItem::TfrmAcresceItem(QWidget* parent)
    : TFormulario("TfrmAcresceItem", QStringLiteral("Desconto/Acréscimo Item Fiscal"), parent) {
    CampoNumerico("edtNumItem", QStringLiteral("Número do Item:"), 8, 0);
    QGroupBox* desc =
        GrupoRadios("rgDescAcres", QString(), {QStringLiteral("Desconto "), QStringLiteral("Acréscimo")});
    GrupoRadios("rgValorPerc", QString(), {QStringLiteral("Valor"), QStringLiteral("Percentual")});
    edtValorPerc_ = CampoNumerico("edtValorPerc", QStringLiteral("Valor / Percentual:"), 8, 0);
    edtValorPerc_->installEventFilter(this);
    Rotulo("lblObs", QStringLiteral("Obs.: Só poderá ser executado se a operação for de entrada."));
    DefineFoco(desc);
}

void TfrmAcresceItem::AoMostrar() {
    // Tag 1 is the fiscal receipt, where the note about entry operations does not apply.
    findChild<QLabel*>(QStringLiteral("lblObs"))->setVisible(Tag() == 0);
}

bool TfrmAcresceItem::eventFilter(QObject* o, QEvent* e) {
    if (o == edtValorPerc_ && e->type() == QEvent::FocusIn)
        AjustaValorPerc(edtValorPerc_, Escolhido("rgValorPerc") == 1);
    return TFormulario::eventFilter(o, e);
}

void TfrmAcresceItem::Ok() {
    Executa(QStringLiteral("-> Executando Desconto / Acréscimo"), [this] {
        return dll::Tarvo_AcrescimoDescontoItemMFD(
            Texto("edtNumItem"), Escolhido("rgDescAcres") == 0 ? "D" : "A",
            Escolhido("rgValorPerc") == 0 ? "$" : "%", Texto("edtValorPerc"));
    });
}

TfrmAlterarSubtotal::TfrmAlterarSubtotal(QWidget* parent)
    : TFormulario("TfrmAlterarSubtotal", QStringLiteral("Alterar Subtotal"), parent) {
    QCheckBox* cancelar =
        CaixaMarcacao("cbCancelar", QStringLiteral("Cancelar Operação de Acréscimo/Desconto no Subtotal"));
    GrupoRadios("rgOperacao", QString(), {QStringLiteral("Desconto"), QStringLiteral("Acréscimo")});
    GrupoRadios("rgValorPerc", QString(), {QStringLiteral("Valor"), QStringLiteral("Percentual")});
    edtValorPerc_ = CampoNumerico("edtValorPerc", QStringLiteral("Valor / Percentual:"), 8, 0);
    edtValorPerc_->installEventFilter(this);
    DefineFoco(cancelar);
}

bool TfrmAlterarSubtotal::eventFilter(QObject* o, QEvent* e) {
    if (o == edtValorPerc_ && e->type() == QEvent::FocusIn)
        AjustaValorPerc(edtValorPerc_, Escolhido("rgValorPerc") == 1);
    return TFormulario::eventFilter(o, e);
}

void TfrmAlterarSubtotal::Ok() {
    const std::string tipo = Escolhido("rgOperacao") == 0 ? "D" : "A";
    if (Valor("cbCancelar") == QLatin1String("1")) {
        Executa(QStringLiteral("-> Cancelando Acréscimo / Desconto no Subtotal"),
                [&] { return dll::Tarvo_CancelaAcrescimoDescontoSubtotalMFD(tipo); });
    } else {
        Executa(QStringLiteral("-> Acréscimo / Desconto no Subtotal"), [&] {
            return dll::Tarvo_AcrescimoDescontoSubtotalMFD(tipo, Escolhido("rgValorPerc") == 0 ? "$" : "%",
                                                           Texto("edtValorPerc"));
        });
    }
}

}  // namespace belmora
