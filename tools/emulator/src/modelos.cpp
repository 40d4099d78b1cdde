#include "emulador/modelos.h"

namespace emulador {

const std::vector<ModeloEcf>& Modelos() {
    static const std::vector<ModeloEcf> modelos = {
        {"TARVO", "RIX 4000", "ECF-IF", "01.00.05"},          {"TARVO", "RIX FS-700", "ECF-IF", "01.00.08"},
        {"ORVIKTH", "ORVIKTH MP-4000", "ECF-IF", "01.02.00"}, {"DASK", "DASK 300", "ECF-PDV", "01.00.00"},
        {"NARDO", "NARDO NT-2000", "ECF-IF", "02.01.03"},     {"VESK", "VESK V-90", "ECF-IF", "01.05.00"},
    };
    return modelos;
}

bool AplicaModelo(Impressora& p, std::size_t linha) {
    if (linha >= Modelos().size()) return false;
    const ModeloEcf& m = Modelos()[linha];
    p.marca = m.marca;
    p.modelo = m.modelo;
    p.tipoEcf = m.tipo;
    p.versaoSW = m.versao;
    return true;
}

}  // namespace emulador
