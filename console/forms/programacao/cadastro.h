// The registration walk of the programming grids: it compares each grid row with the record
// shown in it at the last capture and says what to send (define, delete, insert, or a local
// refusal). It works on the grid interface only, so it is checked without a printer; the
// forms then carry the steps out with their log lines.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "console/forms/status/grades.h"

namespace belmora {

enum class TipoPasso { Altera, Exclui, Insere, Recusa };

struct PassoCadastro {
    TipoPasso tipo;
    int linha = 0;
    QString codigo;          // the row's label, as sent
    QStringList valores;     // the row's cells after the label
    QStringList anteriores;  // the record shown in the row at the last capture (empty when none)
};

struct RegrasCadastro {
    int linhaInicial = 1;
    int colunas = 1;   // value columns after the label column
    int chave = 0;     // the value whose emptying deletes the entry
    QString recusado;  // a key value that is never inserted ("00,00" for rates); empty: none
};

// The record shown in a row at the last capture, or nothing.
using RegistroDaLinha = std::function<std::optional<QStringList>(int linha, int codigo)>;

// Texts are compared after one normalisation: trimmed, without accents, in upper case, so that
// "Saída" read back from the printer matches "Saida" and the reverse.
QString NormalizaComparacao(const QString& texto);

// The steps for every row from the first data row on. A label that is not an integer stops
// the walk with ErroFormulario before anything is sent.
std::vector<PassoCadastro> PlanejaCadastro(const Grade& grade, const RegrasCadastro& regras,
                                           const RegistroDaLinha& registro);

// Printer code page to display: the code-page-850 bytes of the accented letters the printer
// takes escaped become their Windows-1252 letters, every other byte is copied. Exactly the
// inverse of the binding's escape table.
std::string ConverteCP850Texto(const std::string& texto);

}  // namespace belmora
