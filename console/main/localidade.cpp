#include "console/main/localidade.h"

#include <QLocale>
#include <clocale>

namespace belmora {

void DefineLocalidade() {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace belmora
