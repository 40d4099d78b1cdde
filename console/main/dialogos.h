// Message boxes and the folder dialog of the console.
#pragma once

#include <QString>

class QWidget;

namespace belmora {

// Yes/No question with the question icon; true on Yes.
bool Pergunta(QWidget* dono, const QString& titulo, const QString& texto);

// Information box with an OK button.
void Informa(QWidget* dono, const QString& titulo, const QString& texto);

// For the few places that call the library without a wrapper: true for result 1; any other
// result reads the driver's last error (not logged) and shows it in an error box captioned
// "Erro" until the operator closes it.
bool VerificaRetornoDLL(int resultado);

// Folder dialog with `titulo` as its title; true and the chosen folder when the operator
// confirms an existing folder, false when the dialog is cancelled.
bool SelecionaDiretorio(QString& caminho, const QString& titulo);

}  // namespace belmora
