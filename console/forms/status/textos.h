// Texts of the status forms that need no window: the owner's header lines as the form
// shows them and the non-fiscal sales amounts cut into pieces.
#pragma once

#include <QString>
#include <QStringList>

#include "console/forms/comum/cabecalho.h"

namespace belmora {

// The owner's header as read: trailing blanks gone, split at CR and LF, empty pieces dropped,
// the leading blanks of each piece skipped.
QStringList LinhasDoCliche(const QString& cliche);

// The 210-character sales text of the non-fiscal totals in 14-character pieces, each followed
// by " , ".
QString PartesVendasNaoFiscais(const QString& vendas);

// "ddmmyy" -> "dd/mm/yy" and "hhmmss" -> "hh:mm:ss" (a shorter text gets the separators it reaches).
QString ComSeparadores(const QString& digitos, QChar separador);

}  // namespace belmora
