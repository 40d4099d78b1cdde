#include "driver/fiscalfiles/totalizador_geral.h"

#include <algorithm>

namespace tarvo {

namespace {

// The digits of columns [inicio, inicio + largura) (from 1) as a number; a column past the
// line's end, or anything but digits, gives -1.
std::int64_t Campo(std::string_view linha, std::size_t inicio, std::size_t largura) {
    if (linha.size() < inicio - 1 + largura) return -1;
    std::int64_t v = 0;
    for (char c : linha.substr(inicio - 1, largura)) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

}  // namespace

void TotalizadorGeralAto::Linha(std::string_view linha) {
    if (linha.substr(0, 3) == "E11") {
        // E11: type, serial 20, letter 1, model 20, then CRZ, CRO, COO, GNF, CCF ... and the GT
        // at 105 (the printer's counters in the order the RFD of a reduction reads them).
        const std::int64_t crz = Campo(linha, 45, 6), coo = Campo(linha, 57, 6), ccf = Campo(linha, 69, 6),
                           gt = Campo(linha, 105, 18);
        temE11_ = crz >= 0 && coo >= 0 && ccf >= 0 && gt >= 0;
        crzE11_ = crz;
        cooE11_ = coo;
        ccfE11_ = ccf;
        gtE11_ = gt;
    } else if (linha.substr(0, 3) == "E12") {
        // E12: head with the user (46 characters), CRZ 47, COO 53, gross sales 87.
        reducoes_.push_back({Campo(linha, 47, 6), Campo(linha, 53, 6), Campo(linha, 87, 14)});
    } else if (linha.substr(0, 3) == "E14") {
        // E14: CCF at 47.
        ultimoCcf_ = std::max(ultimoCcf_, Campo(linha, 47, 6));
    }
}

bool TotalizadorGeralAto::Conclui(std::vector<std::int64_t>& gts, std::string& erro) const {
    gts.assign(reducoes_.size(), 0);
    if (reducoes_.empty()) return true;
    if (!temE11_) {
        erro = "Arquivo do ato cotepe sem o totalizador geral (registro E11)";
        return false;
    }
    const Reducao& ultima = reducoes_.back();
    if (ultima.crz != crzE11_ || cooE11_ < ultima.coo || (cooE11_ != ultima.coo && ccfE11_ != ultimoCcf_)) {
        erro = "Totalizador geral do registro E11 (CRZ " + std::to_string(crzE11_) + ", COO " +
               std::to_string(cooE11_) + ", CCF " + std::to_string(ccfE11_) +
               ") n\xE3o \xE9 o da \xFAltima redu\xE7\xE3o do arquivo (CRZ " + std::to_string(ultima.crz) +
               ", COO " + std::to_string(ultima.coo) + ")";
        return false;
    }
    std::int64_t gt = gtE11_;
    for (std::size_t i = reducoes_.size(); i-- > 0;) {
        gts[i] = gt;
        const std::int64_t venda = reducoes_[i].vendaBruta;
        if (venda < 0 || venda > gt) {
            erro = "Venda bruta da redu\xE7\xE3o CRZ " + std::to_string(reducoes_[i].crz) +
                   " acima do totalizador geral do arquivo";
            return false;
        }
        gt -= venda;
    }
    return true;
}

}  // namespace tarvo
