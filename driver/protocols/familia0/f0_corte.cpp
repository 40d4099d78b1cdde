// The paper cutter of family-0 printers, used after every document close.
#include <algorithm>

#include "driver/core/configuracao.h"
#include "driver/core/exportacao.h"
#include "driver/protocols/familia0/parametros.h"
#include "driver/protocols/familias.h"

namespace tarvo::familia0 {

int Tarvo_AcionaGuilhotinaMFD(int iTipoCorte) {
    const Configuracao& c = Config();
    if (c.SubModelo == 0) return InformaComandoInexistente("Tarvo_AcionaGuilhotinaMFD");
    std::string corte = iTipoCorte > 9 ? "0" : std::to_string(iTipoCorte);
    if (c.SubModelo == 2) return ::Tarvo_AvancaCorta(std::max(c.EspacamentoDocumentos, 3), iTipoCorte);
    const bool avancaDepois = c.SubModelo == 3 && iTipoCorte < 4;
    if (avancaDepois) corte = "0";
    int r = EnviaComandoTxt("CortaPapel", "TipoCorte=" + corte);
    if (avancaDepois) EnviaComandoTxt("AvancaPapel", "Avanco=250");
    return r;
}

}  // namespace tarvo::familia0
