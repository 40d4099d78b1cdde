// The document forms of the console: free text in a linked voucher (with stored lines kept
// in "NaoFiscalVinculado.txt"), reversal of a linked voucher, the management report, the
// authentication, the paper cut, the detail-tape print, its download and text conversion,
// the timed test receipt, and four readings of the printer (fiscal state, date and time,
// indicators, data of the last Z reduction).
#pragma once

#include <QString>
#include <vector>

#include "console/forms/comum/descricao.h"
#include "console/forms/comum/formulario.h"

class QCheckBox;
class QTreeWidget;

namespace belmora {

// The document forms that the description table builds, each with the caption of its
// operation button.
struct DescricaoDocumento {
    DescricaoFormulario formulario;
    const char* botao;
};
const std::vector<DescricaoDocumento>& FormulariosDeDocumentos();

// Registers every document and reading form with the main window.
void RegistraFormulariosDeDocumentos();

// "Usa Comprovante Não Fiscal": free text printed in the open linked voucher. A double
// click on a stored line adds it to the text; "Excluir" of the list's menu removes it.
class TfrmTextoLivre : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmTextoLivre(QWidget* parent = nullptr);
    static const char* const kArquivo;
    // The double-click gesture on the selected stored line.
    void AdicionaSelecionada();

  protected:
    void Ok() override;
    void AoMostrar() override;

  private:
    void Cadastra();
    void Salva();
    TListaCadastrada* lista_ = nullptr;
};

// "Relatório Gerencial": open (with its code), print the text, close.
class TfrmRelatorioGerencial : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmRelatorioGerencial(QWidget* parent = nullptr);

  protected:
    void Ok() override;
};

// "Autenticar Documento": a line skip of 00 to 50 and a text that fits what is left of the
// 50 lines.
class TfrmAutenticaDocumento : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmAutenticaDocumento(QWidget* parent = nullptr);

  protected:
    void Ok() override;
};

// "Cortar Papel": a partial (4) or total (0) cut.
class TfrmCortarPapel : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmCortarPapel(QWidget* parent = nullptr);

  protected:
    void Ok() override;
};

// "Imprime Memória Fita Detalhe": the detail tape printed whole, by dates or by COO.
class TfrmImprimeMFD : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmImprimeMFD(QWidget* parent = nullptr);

  protected:
    void Ok() override;
    void AoMostrar() override;

  private:
    void MostraTipo();
};

// "Leitura Fita Detalhe": downloads the detail tape to "DownloadMFD.txt" in the program
// folder and converts it to text in "LeituraMFD.txt" there. The two calls go straight to the
// library (not into the call log); what the form chose and whether a download is waiting for
// its conversion is kept for the whole program, not per form.
class TfrmDownloadMFD : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmDownloadMFD(QWidget* parent = nullptr);
    // The state kept for the program.
    struct Estado {
        QString tipo, inicio, fim, proprietario;
        bool baixado = false;
    };
    static Estado& Atual();
    static QString ArquivoDownload();
    static QString ArquivoTexto();

  protected:
    void Ok() override;
    void AoMostrar() override;

  private:
    void EscolheTipo(int tipo);
    void Formata();
};

// "Emissão Completa de Cupom Fiscal": a test receipt of N items, timed, its progress in the
// form's memo and its outcome in the operator log.
class TfrmAllCupom : public TFormulario {
    Q_OBJECT
  public:
    explicit TfrmAllCupom(QWidget* parent = nullptr);

  protected:
    void Ok() override;
};

// A reading form with a button of its own: runs the reading when shown (when `aoMostrar`)
// and on the button.
class TfrmLeitura : public TFormulario {
    Q_OBJECT
  public:
    TfrmLeitura(const char* classe, const QString& titulo, const QString& botao, bool aoMostrar,
                QWidget* parent);

  protected:
    void Ok() override { Le(); }
    void AoMostrar() override;
    virtual void Le() = 0;

  private:
    bool aoMostrar_;
};

// "Estado Fiscal": six boxes, each ticked when its bit of the extended status is set.
class TFrmStatusEstadoFiscal : public TfrmLeitura {
    Q_OBJECT
  public:
    explicit TFrmStatusEstadoFiscal(QWidget* parent = nullptr);

  protected:
    void Le() override;

  private:
    std::vector<std::pair<int, QCheckBox*>> caixas_;
};

// "Data e Hora": the printer's date and time with their separators.
class TfrmDataHora : public TfrmLeitura {
    Q_OBJECT
  public:
    explicit TfrmDataHora(QWidget* parent = nullptr);

  protected:
    void Le() override;
};

// "Leitura de Indicadores": fifteen boxes, each showing its bit of the indicator word.
class TfrmStatusLeituraIndicadores : public TfrmLeitura {
    Q_OBJECT
  public:
    explicit TfrmStatusLeituraIndicadores(QWidget* parent = nullptr);

  protected:
    void Le() override;

  private:
    std::vector<std::pair<int, QCheckBox*>> caixas_;
};

// "Dados da ultima redução Z": the 37 fields of the last reduction beside their keys.
class TfrmDadosUltimaRedZ : public TfrmLeitura {
    Q_OBJECT
  public:
    explicit TfrmDadosUltimaRedZ(QWidget* parent = nullptr);
    static const std::vector<const char*>& Chaves();
    // The values of the reply by key: split at ",", trimmed; the reply's last character is
    // not part of the last field; fields beyond the keys are dropped, missing ones empty.
    static QStringList Campos(const QString& resposta);

  protected:
    void Le() override;

  private:
    QTreeWidget* lista_ = nullptr;
};

}  // namespace belmora
