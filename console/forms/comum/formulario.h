// The form layer under every operation form of the console. A form is a TFormulario: its
// class name is its object name, it has a caption, a field that takes the focus when it is
// shown, and the buttons "OK" (runs the operation) and "Sair" (asks the main window to close
// it). Fields are made by the makers below, one row each (a label and the field), named as
// the forms' descriptions name them, so that tests and the description table reach them by
// name. `Executa` runs one driver call with the operator-log lines around it, and every
// handler runs under one guard: no exception leaves an event handler.
#pragma once

#include <QListWidget>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>

class QAbstractButton;
class QBoxLayout;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;

namespace tarvo {
class TEnhancedEdit;
}

namespace belmora {

class TCampoCpfCnpj;

// What a handler raises when its work cannot go on (a file that cannot be read, a value
// that cannot be converted): the guard shows the text and logs the failure line.
class ErroFormulario : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TFormulario : public QWidget {
    Q_OBJECT
  public:
    TFormulario(const char* classe, const QString& titulo, QWidget* parent = nullptr);

    // --- field makers (each adds a labelled row; `rotulo` empty: no label) --------------------
    QLineEdit* CampoTexto(const char* nome, const QString& rotulo, int tamanho, const QString& inicial = {});
    // The numeric edit, filtering what is typed to a number with `casas` decimals.
    tarvo::TEnhancedEdit* CampoNumerico(const char* nome, const QString& rotulo, int tamanho, int casas,
                                        const QString& inicial = {});
    TCampoCpfCnpj* CampoCpfCnpj(const char* nome, const QString& rotulo, int tamanho);
    // A list that also takes free text.
    QComboBox* CampoLista(const char* nome, const QString& rotulo, const QStringList& itens,
                          const QString& inicial = {});
    QPlainTextEdit* CampoMemo(const char* nome, const QString& rotulo, int limite);
    QDateEdit* CampoData(const char* nome, const QString& rotulo);
    QTimeEdit* CampoHora(const char* nome, const QString& rotulo);
    // A titled group of radio buttons named <nome>0, <nome>1 ...; the first is selected.
    QGroupBox* GrupoRadios(const char* nome, const QString& titulo, const QStringList& itens,
                           bool horizontal = true);
    QCheckBox* CaixaMarcacao(const char* nome, const QString& texto);
    QLabel* Rotulo(const char* nome, const QString& texto);
    // Adds a widget of the form's own as a row.
    void Linha(QWidget* w, const QString& rotulo = {});
    // Shows or hides the rows of the named fields, their labels too; a name the form does not
    // have is passed over.
    void MostraLinhas(std::initializer_list<const char*> nomes, bool visiveis);

    // --- values -------------------------------------------------------------------------------
    // The text of a field as shown (the selected item's index for a radio group, "1"/"0" for
    // a check box); an empty text for a name the form does not have.
    QString Valor(const char* nome) const;
    // The same in Windows-1252, as the wrappers take texts.
    std::string Texto(const char* nome) const;
    // Index of the selected button of a radio group, -1 when none.
    int Escolhido(const char* nome) const;
    static std::string Cp1252(const QString& texto);
    // A Windows-1252 text of the driver as Qt shows it.
    static QString DeCp1252(const std::string& texto);

    // The field that takes the focus when the form is shown (the form passes it on).
    void DefineFoco(QWidget* campo);
    QWidget* Foco() const { return foco_; }
    // The tag the main window gives the form (0 when none).
    int Tag() const;

    QPushButton* BotaoOK() const { return btOK_; }
    QPushButton* BotaoSair() const { return btSair_; }

    // Runs one driver call: the start line (none when empty), the call with the window busy,
    // the result through TrataRetorno, then `prefixo` + "Operação executada com Sucesso!" or
    // + "Operação falhou!". True on success.
    bool Executa(const QString& inicio, const std::function<int()>& chamada, const QString& prefixo = "<- ");

    // Runs `acao` under the guard: an exception becomes a message box with its text and the
    // failure line in the operator log; nothing leaves the handler.
    void Guarda(const std::function<void()>& acao);
    // Connects a button's click to `acao`, under the guard.
    void Liga(QAbstractButton* botao, const std::function<void()>& acao);

  protected:
    // The operation of "OK".
    virtual void Ok() {}
    // Once, when the form is first shown (after the focus went to its field).
    virtual void AoMostrar() {}
    // The layout below the fields, for what a form adds of its own (grids, lists).
    QBoxLayout* Corpo() const { return corpo_; }
    QFormLayout* Campos() const { return campos_; }

    void showEvent(QShowEvent* e) override;
    // Tab and Shift+Tab follow the screen (see CaminhoTab), over the outermost form.
    bool focusNextPrevChild(bool next) override;

  private:
    void Sair();
    // The checks of "OK" before its operation: every CPF/CNPJ field shown must hold a valid
    // number or nothing; the first that does not is said and takes the focus back.
    bool CamposConferidos();
    TFormulario* Externo();

    QBoxLayout* corpo_ = nullptr;
    QFormLayout* campos_ = nullptr;
    QPushButton* btOK_ = nullptr;
    QPushButton* btSair_ = nullptr;
    QWidget* foco_ = nullptr;
    bool mostrado_ = false;
};

// A list of stored lines ("Linhas Cadastradas") with the gestures that remove an entry given
// as parameters: each gesture asks `pergunta` first (Yes/No box captioned "Belmora"), and with
// no entry selected shows `semSelecao` instead.
struct GestosLista {
    bool duploCliqueExclui = true;  // a double click removes the selected entry
    bool menuExclui = true;         // a pop-up menu "Excluir" removes it
    QString pergunta = QStringLiteral("Deseja realmente excluir a linha?");
    QString semSelecao = QStringLiteral("Primeiro Selecione uma Linha");
};

class TListaCadastrada : public QListWidget {
    Q_OBJECT
  public:
    TListaCadastrada(const char* nome, const GestosLista& gestos, TFormulario* formulario);
    QStringList Linhas() const;
    void DefineLinhas(const QStringList& linhas);
    // The selected entry's text; empty with `ok` false when none is selected.
    QString Selecionada(bool& ok) const;
    // The removal gesture: message without a selection, question, removal.
    void ExcluiSelecionada();

  private:
    GestosLista gestos_;
    TFormulario* formulario_;
};

// "Linhas Cadastradas": stored lines of text in a file of their own (Windows-1252, CR LF),
// one entry per line. A missing file is an empty list; an unreadable one raises ErroFormulario.
// One line of the operator log, as the forms write it.
void Log(const QString& linha);
// "<- " and the success or failure text of an operation.
void LogDesfecho(bool ok);

QStringList LeLinhasCadastradas(const QString& arquivo);
// Replaces the file with the lines; raises ErroFormulario when it cannot be written.
void GravaLinhasCadastradas(const QString& arquivo, const QStringList& linhas);

}  // namespace belmora
