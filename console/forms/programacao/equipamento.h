// The printer's identity, programmed in technical intervention: the receipt header with store
// and till numbers, the owner (CNPJ, state and municipal registrations, password), the clock
// and summer time, the owner data with the detail-tape serial of the models that take them
// together, and the page that gathers seven programming forms on tabs.
#pragma once

#include <QLineEdit>
#include <array>

#include "console/forms/comum/formulario.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace belmora {

void RegistraFormulariosDeEquipamento();

// The CNPJ as it is typed: the digits grouped as 99.999.999/9999-99 as far as they reach
// (a separator only before a digit that follows it); anything but digits is dropped.
QString AgrupaCnpj(const QString& texto);

// The CNPJ edit of the owner forms: takes digits and backspace, regroups itself on every
// change with the cursor at the end, and says when the operator leaves it.
class TEditCnpj : public QLineEdit {
    Q_OBJECT
  public:
    explicit TEditCnpj(QWidget* parent = nullptr);
  signals:
    void Deixado();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
};

// Opens the page of the printer's state approvals shipped with the console ("Ajuda" folder)
// with the system's handler of local pages; a box says so when it cannot be opened.
void AbreDocsHomologacao(QWidget* dono);

// --- header ----------------------------------------------------------------------------------

class TfrmProgramaCabecalho : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmProgramaCabecalho(QWidget* parent = nullptr);
    void Capturar();
    // The write without the question ("Gravar" asks first).
    void Gravar();
    // The formatting buttons, on the line edit that last had the focus.
    void Expandido();
    void AbreNegrito();
    void FechaNegrito();
    void Centralizar();

    QLineEdit* EditLinha(int i) const { return linhas_[static_cast<std::size_t>(i)]; }
    QCheckBox* Exp(int i) const { return exp_[static_cast<std::size_t>(i)]; }
    QLabel* Tamanho(int i) const { return tamanhos_[static_cast<std::size_t>(i)]; }

  protected:
    void AoMostrar() override { Capturar(); }
    bool eventFilter(QObject* alvo, QEvent* evento) override;

  private:
    int Indice(QObject* alvo) const;
    void Conta(int i);
    // The box and the font of an expanded or normal line.
    void Marca(int i, bool expandida);
    // The same, and a line turned expanded is cut to 18 visible characters.
    void Expande(int i, bool ligada);
    void InsereTag(const QString& tag);

    std::array<QLineEdit*, 4> linhas_{};
    std::array<QCheckBox*, 4> exp_{};
    std::array<QLabel*, 4> tamanhos_{};
    QLineEdit* loja_;
    QLineEdit* ecf_;
    int ultima_ = -1;  // the line edit that last had the focus
};

// --- owner -------------------------------------------------------------------------------------

// What the owner form and the detail-tape owner form share: the owner read, the CNPJ edit and
// the invalid-CNPJ label.
class TFormProprietario : public TFormulario {
    Q_OBJECT
  public:
    TFormProprietario(const char* classe, const QString& titulo, QWidget* parent);
    virtual void Capturar();
    // "Salvar" (asks its questions).
    virtual void Salvar() = 0;
    TEditCnpj* Cnpj() const { return cnpj_; }
    QLineEdit* Ie() const { return ie_; }
    QLineEdit* Im() const { return im_; }
    QLineEdit* Senha() const { return senha_; }
    QLineEdit* NumeroSerie() const { return serie_; }
    QLabel* CnpjInvalido() const { return invalido_; }

  protected:
    void AoMostrar() override { Capturar(); }
    // The owner read: CNPJ and IE, IM, serial number; each filled edit disabled, the password
    // following the IM. A failed read stops with "Erro".
    void LeDadosProprietario();
    // The fields inside `layout` (the serial number first, under `rotuloSerie`) and the buttons.
    void MontaCampos(QFormLayout* layout, const QString& rotuloSerie);
    bool CnpjValido() const;
    static void Avisa(QWidget* dono, const QString& texto);

    TEditCnpj* cnpj_ = nullptr;
    QLineEdit* ie_ = nullptr;
    QLineEdit* im_ = nullptr;
    QLineEdit* senha_ = nullptr;
    QLineEdit* serie_ = nullptr;
    QLabel* invalido_ = nullptr;
};

class TfrmProgramaProprietario : public TFormProprietario {
    Q_OBJECT
  public:
    explicit TfrmProgramaProprietario(QWidget* parent = nullptr);
    void Salvar() override;
};

class TfrmProgramarDasks : public TFormProprietario {
    Q_OBJECT
  public:
    explicit TfrmProgramarDasks(QWidget* parent = nullptr);
    void Capturar() override;
    void Salvar() override;
    QLineEdit* SerieMfd() const { return serieMfd_; }

  private:
    QLineEdit* serieMfd_;
};

// --- clock ---------------------------------------------------------------------------------------

class TfrmProgramaDataHora : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmProgramaDataHora(QWidget* parent = nullptr);
    void Capturar();
    void CapturarDoPC();
    // "Programa Relógio" and the summer-time button (each asks first).
    void ProgramaRelogio();
    void HorarioVerao();
    QLabel* Estado() const { return estado_; }
    QPushButton* BotaoHorarioVerao() const { return btVerao_; }

  protected:
    void AoMostrar() override { Capturar(); }

  private:
    QLabel* estado_;
    QPushButton* btVerao_;
};

// --- the page of tabs ------------------------------------------------------------------------------

class TfrmProgramarEquipamento : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmProgramarEquipamento(QWidget* parent = nullptr);
    QTabWidget* Abas() const { return abas_; }
    // The form on tab i.
    TFormulario* FormularioDaAba(int i) const;

  private:
    QTabWidget* abas_;
};

}  // namespace belmora
