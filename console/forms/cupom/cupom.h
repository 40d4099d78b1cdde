// The forms of the fiscal and non-fiscal receipts: open, sell (with the product table),
// item and subtotal discounts, item cancellation, payment with the amount still owed,
// closing with stored promotional lines, the non-fiscal receipt and the linked voucher.
#pragma once

#include <vector>

#include "console/forms/comum/descricao.h"
#include "console/forms/comum/formulario.h"

class QTableWidget;
class QRadioButton;
class QAction;

namespace tarvo {
class TEnhancedEdit;
}

namespace belmora {

// The receipt forms that the description table builds (open receipt, cancel item, open
// non-fiscal receipt, non-fiscal item, linked voucher).
const std::vector<DescricaoFormulario>& FormulariosDeCupom();

// Registers every receipt form with the main window.
void RegistraFormulariosDeCupom();

// "Vender Item Fiscal": the sell fields, and the product table kept in the database.
class TfrmVendeItem : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmVendeItem(QWidget* parent = nullptr);
    // Copies the current product of the grid into the sell fields.
    void PreencheValores();
    // "%" / "$" / "" as the sale sends it.
    QString TipoDesconto() const;
    QTableWidget* Grade() const { return grdProdutos_; }

  protected:
    void Ok() override;
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    void Vende();
    void MostraProdutos();
    void AjustaCasasValor();
    void AjustaDesconto();
    void SalvarProduto();
    void ExcluirProduto();

    tarvo::TEnhancedEdit* edtQuantidade_ = nullptr;
    tarvo::TEnhancedEdit* edtR_ = nullptr;
    tarvo::TEnhancedEdit* edtValorDesconto_ = nullptr;
    QRadioButton* rb2_ = nullptr;
    QRadioButton* rb3_ = nullptr;
    QRadioButton* rbPorcentagem_ = nullptr;
    QRadioButton* rbValor_ = nullptr;
    QTableWidget* grdProdutos_ = nullptr;
    QAction* excluir_ = nullptr;
    QWidget* btSalvarProduto_ = nullptr;
    QString codigoAtual_;
};

// "Desconto/Acréscimo Item Fiscal", for both receipts (tag 1 fiscal, 0 non-fiscal).
class TfrmAcresceItem : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmAcresceItem(QWidget* parent = nullptr);

  protected:
    void Ok() override;
    void AoMostrar() override;
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    tarvo::TEnhancedEdit* edtValorPerc_ = nullptr;
};

// "Alterar Subtotal": discount or surcharge on the subtotal, or its cancellation.
class TfrmAlterarSubtotal : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmAlterarSubtotal(QWidget* parent = nullptr);

  protected:
    void Ok() override;
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    tarvo::TEnhancedEdit* edtValorPerc_ = nullptr;
};

// "Pagamento": reads the subtotal on show, pays, and keeps the amount still owed.
class TfrmPagamento : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmPagamento(QWidget* parent = nullptr);
    double Restante() const { return restante_; }

  protected:
    void Ok() override;
    void AoMostrar() override;

  private:
    double restante_ = 0;
};

// "Encerrar Documento": closes the receipt with a promotional text, with stored lines kept in
// "EncerraDocumento.txt" in the current folder.
class TfrmEncerrarDoc : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmEncerrarDoc(QWidget* parent = nullptr);
    static const char* const kArquivo;

  protected:
    void Ok() override;
    void AoMostrar() override;

  private:
    void Adiciona();
    void Cadastra();
    void Salva();
};

}  // namespace belmora
