#include "console/programa/inicio.h"

#include <cstdlib>

#include "console/database/dm_vintaro.h"
#include "console/forms/cheques/cheques.h"
#include "console/forms/comum/valores.h"
#include "console/forms/configuracao/configuracoes.h"
#include "console/forms/cupom/cupom.h"
#include "console/forms/documentos/documentos.h"
#include "console/forms/leituras/leituras.h"
#include "console/forms/programacao/programacao.h"
#include "console/forms/rfd/gera_rfd.h"
#include "console/forms/sequencias/sequencias.h"
#include "console/forms/status/status.h"
#include "console/main/dialogos.h"
#include "platform/processo.h"

namespace belmora {

int& PrazoDoConsoleAnteriorMs() {
    static int prazo = 15000;
    return prazo;
}

bool AguardaConsoleAnterior() {
    const char* anterior = std::getenv(kConsoleAnterior);
    if (!anterior) return true;
    const int pid = std::atoi(anterior);
    plataforma::RemoveVariavel(kConsoleAnterior);  // not passed on to what this console starts
    return plataforma::AguardaFimDoProcesso(pid, PrazoDoConsoleAnteriorMs());
}

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
    // A console started by another one's restart opens the file only once that one has ended
    // and let it go; one that stays longer than the wait is named in the box.
    const bool anteriorTerminou = AguardaConsoleAnterior();
    if (dm.Conecta(pasta)) return true;
    Informa(
        dono, QStringLiteral("Belmora"),
        (anteriorTerminou ? QString()
                          : QStringLiteral("O console anterior ainda não terminou depois de %1 segundos e "
                                           "mantém o banco de dados em uso.\n\n")
                                .arg(PrazoDoConsoleAnteriorMs() / 1000)) +
            dm.Erro() +
            QStringLiteral("\n\nO cadastro de produtos e os layouts de cheque ficam indisponíveis "
                           "nesta execução.\n\nPasta de dados: %1 (a variável TARVO_HOME escolhe "
                           "outra pasta).")
                .arg(QString::fromStdString(pasta)));
    return false;
}

}  // namespace belmora
