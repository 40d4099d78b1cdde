// The operation forms of this version of the console, registered with the main window.
#include "console/database/dm_vintaro.h"
#include "console/forms/cheques/cheques.h"
#include "console/forms/configuracao/configuracoes.h"
#include "console/forms/comum/valores.h"
#include "console/forms/cupom/cupom.h"
#include "console/forms/documentos/documentos.h"
#include "console/forms/inicio.h"
#include "console/forms/leituras/leituras.h"
#include "console/forms/programacao/programacao.h"
#include "console/forms/rfd/gera_rfd.h"
#include "console/forms/sequencias/sequencias.h"
#include "console/forms/status/status.h"
#include "console/main/dialogos.h"
#include "console/main/formularios.h"

namespace belmora {

void RegistraFormulariosDoConsole() {
    FixaLocalidadeNumerica();
    RegistraFormulariosDeCupom();
    RegistraFormulariosDeStatus();
    RegistraFormulariosDeLeitura();
    RegistraFormulariosDeDocumentos();
    RegistraFormulariosDeCheque();
    RegistraFormulariosDeConfiguracao();
    RegistraFormulariosDeProgramacao();
    RegistraFormulariosDeSequencias();
    RegistraFormulariosDeRFD();
}

bool IniciaModuloDeDados(TdmVintaro& dm, const std::string& pasta, QWidget* dono) {
    if (dm.Conecta(pasta)) return true;
    Informa(
        dono, QStringLiteral("Belmora"),
        dm.Erro() + QStringLiteral("\n\nO cadastro de produtos e os layouts de cheque ficam indisponíveis "
                                   "nesta execução.\n\nPasta de dados: %1 (a variável TARVO_HOME escolhe "
                                   "outra pasta).")
                        .arg(QString::fromStdString(pasta)));
    return false;
}

}  // namespace belmora
