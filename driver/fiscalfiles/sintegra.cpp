#include "driver/fiscalfiles/sintegra.h"

#include <algorithm>
#include <vector>

#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/fiscalfiles/campo_ato.h"
#include "driver/fiscalfiles/rfd_conversao.h"

namespace tarvo {

namespace {
constexpr std::size_t kChave = 20;     // key in front of every record but a 60R
constexpr std::size_t kChave60R = 12;  // key in front of a 60R
}  // namespace

std::string Registro90(const std::string& cnpj, const std::string& inscricao, const ContagemSintegra& c) {
    auto n8 = [](std::size_t v) { return PreencheZerosEsquerda(std::to_string(v), 8); };
    std::string r = "90" + PreencheZerosEsquerda(cnpj, 14) + PreencheEspacosDireita(inscricao, 14) + "60" +
                    n8(c.tipo60) + "75" + n8(c.tipo75) + "99" + n8(c.tipo60 + c.tipo75 + 3);
    return PreencheEspacosDireita(r, 125) + "1";
}

ContagemSintegra GravaArquivoSintegra(const std::string& registro10, const std::string& registro11,
                                      const std::string& cnpj, const std::string& inscricao, bool com60I) {
    ContagemSintegra contagem;
    if (!Estado().GeraSintegraAtivo) return contagem;
    const std::string pasta = DiretorioTemporarioRFD();
    const std::string saida = pasta + "SINTEGRA.TXT";
    ApagaArquivo(saida);
    std::vector<std::string> linhas = LinhasArquivo(pasta + "SINT.TXT");
    std::sort(linhas.begin(), linhas.end());

    std::string texto = registro10 + "\r\n" + registro11 + "\r\n";
    std::string anterior;
    for (const std::string& linha : linhas) {
        const bool e60R = TrechoLinha(linha, kChave60R + 1, 3) == "60R";
        const std::string registro = TrechoLinha(linha, (e60R ? kChave60R : kChave) + 1);
        const std::string tipo = registro.substr(0, std::min<std::size_t>(2, registro.size()));
        if (registro.empty()) continue;
        if (!com60I && registro.compare(0, 3, "60I") == 0) continue;
        if (registro == anterior) continue;
        if (tipo == "75" && TrechoLinha(registro, 3, 30) == TrechoLinha(anterior, 3, 30))
            continue;
        texto += registro + "\r\n";
        anterior = registro;
        if (tipo == "60")
            ++contagem.tipo60;
        else if (tipo == "75")
            ++contagem.tipo75;
    }
    texto += Registro90(cnpj, inscricao, contagem) + "\r\n";
    if (!GravaArquivo(saida, texto)) throw ErroArquivoFiscal("Erro ao gravar " + saida);
    return contagem;
}

}  // namespace tarvo
