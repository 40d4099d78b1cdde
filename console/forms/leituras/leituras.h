// The forms of the Reports group that make the printer issue its fiscal readings: the X
// reading, the Z reduction and the fiscal-memory reading. A reading sent to the port is shown
// in a read-only box, 48 columns wide, that the operator can save to a text file.
#pragma once

#include <QPlainTextEdit>

#include "console/forms/comum/formulario.h"

class QDateEdit;
class QTimeEdit;

namespace belmora {

void RegistraFormulariosDeLeitura();

// The capture display: read-only (typed keys and Delete are ignored), "Salvar" in its menu.
class TMemoCaptura : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit TMemoCaptura(QWidget* parent = nullptr);
    QStringList Linhas() const;
    void DefineLinhas(const QStringList& linhas);
    // Writes the lines to the file (CR LF); false when it cannot be written.
    bool Salva(const QString& arquivo) const;

  protected:
    void keyPressEvent(QKeyEvent* e) override;

  private:
    void Salvar();
    QStringList linhas_;
};

// What the X and fiscal-memory forms share: the destination, the display, the serial flow.
class TFormLeitura : public TFormulario {
    Q_OBJECT
  public:
    TFormLeitura(const char* classe, const QString& titulo, QWidget* parent = nullptr);
    TMemoCaptura* Memo() const { return memo_; }

  protected:
    bool Serial() const { return Escolhido("rgDestino") == 1; }
    // Runs the reading; to the port, the display is emptied and the capture file removed
    // first, and the capture shown after a success.
    void Emite(const QString& inicio, const std::function<int()>& chamada);
    void AdicionaMemo();

  private:
    TMemoCaptura* memo_ = nullptr;
};

class TFrmLeituraX : public TFormLeitura {
    Q_OBJECT
  public:
    explicit TFrmLeituraX(QWidget* parent = nullptr);

  protected:
    void Ok() override;
};

class TfrmLeituraMFMFD : public TFormLeitura {
    Q_OBJECT
  public:
    explicit TfrmLeituraMFMFD(QWidget* parent = nullptr);

  protected:
    void Ok() override;
    void AoMostrar() override;

  private:
    void MostraTipo();
};

class TfrmReducaoZ : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmReducaoZ(QWidget* parent = nullptr);

  protected:
    void Ok() override;
    void AoMostrar() override;
};

}  // namespace belmora
