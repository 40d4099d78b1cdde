#include "console/forms/configuracao/configuracao_tarvo.h"

#include <optional>

#include "platform/ini.h"

namespace belmora {

namespace {

const char* const kSistema = "Sistema";

// A decimal integer as the profile functions read one: optional sign and its leading digits.
std::optional<long> Inteiro(const std::string& texto) {
    std::size_t i = 0;
    bool negativo = false;
    if (i < texto.size() && (texto[i] == '-' || texto[i] == '+')) negativo = texto[i++] == '-';
    long v = 0;
    const std::size_t inicio = i;
    for (; i < texto.size() && texto[i] >= '0' && texto[i] <= '9' && i - inicio < 9; ++i)
        v = v * 10 + (texto[i] - '0');
    if (i == inicio) return std::nullopt;
    return negativo ? -v : v;
}

// A number typed in a control: digits only, not empty.
bool SoDigitos(const std::string& texto) {
    if (texto.empty() || texto.size() > 9) return false;
    for (char ch : texto)
        if (ch < '0' || ch > '9') return false;
    return true;
}

}  // namespace

ConfiguracaoTarvo LeConfiguracaoTarvo(const std::string& arquivo, bool& temSistema) {
    const plataforma::ArquivoIni ini(arquivo);
    ConfiguracaoTarvo c;
    temSistema = false;
    auto texto = [&](const char* chave, std::string& v) {
        if (ini.Existe(kSistema, chave)) temSistema = true, v = ini.Le(kSistema, chave, v);
    };
    // Booleans: true for any non-zero integer; the default when missing or not a number.
    auto booleano = [&](const char* chave, bool& v) {
        if (!ini.Existe(kSistema, chave)) return;
        temSistema = true;
        if (auto n = Inteiro(ini.Le(kSistema, chave))) v = *n != 0;
    };
    auto inteiro = [&](const char* chave, std::string& v) {
        if (!ini.Existe(kSistema, chave)) return;
        temSistema = true;
        if (auto n = Inteiro(ini.Le(kSistema, chave))) v = std::to_string(*n);
    };
    texto("ModeloImp", c.modeloImp);
    texto("Porta", c.porta);
    texto("Baud", c.baud);
    texto("Path", c.path);
    texto("PathRFD", c.pathRFD);
    texto("PathTDM", c.pathTDM);
    texto("TIMEOUTREDZ", c.timeoutRedZ);
    texto("TimeOutComandos", c.timeoutComandos);
    texto("ENDERECO", c.endereco);
    inteiro("EspacamentoDocumentos", c.espacamento);
    inteiro("Sangria", c.sangria);
    inteiro("Suprimento", c.suprimento);
    booleano("GERA_RFD_REDZ", c.geraRfdRedZ);
    booleano("TIPO_GERA_RFD_REDZ", c.tipoGeraRfdRedZ);
    booleano("HOMOLOGAR", c.homologar);
    booleano("HabilitaCorte", c.habilitaCorte);
    booleano("MODOGAVETA", c.modoGaveta);
    booleano("ChecaCTS", c.checaCts);
    booleano("HabilitaICMSCupom", c.habilitaIcmsCupom);
    booleano("LMFAutomatico", c.lmfAutomatico);
    booleano("CorrigeRelogioZ", c.corrigeRelogioZ);
    c.uf = ini.Le("ECF", "UF", "");
    return c;
}

ConfiguracaoTarvo ConfiguracaoPadrao(const std::string& pastaPrograma, const std::string& primeiraPorta,
                                     const ConfiguracaoTarvo& atual) {
    ConfiguracaoTarvo c;
    c.porta = primeiraPorta;
    c.path = pastaPrograma + "RFDTemp\\";
    c.pathRFD = pastaPrograma + "RFD\\";
    c.pathTDM = pastaPrograma + "MemoriasTDM\\";
    c.endereco = atual.endereco;
    return c;
}

bool GravaConfiguracaoTarvo(const std::string& arquivo, const ConfiguracaoTarvo& c, std::string& erro) {
    const std::pair<const char*, const std::string*> numeros[] = {
        {"Timeout da Redução Z", &c.timeoutRedZ},
        {"Timeout de comandos", &c.timeoutComandos},
        {"Espaçamento entre documentos", &c.espacamento},
        {"Sangria", &c.sangria},
        {"Suprimento", &c.suprimento},
    };
    for (const auto& [campo, valor] : numeros) {
        if (!SoDigitos(*valor)) {
            erro = "'" + *valor + "' não é um número válido (" + campo + ")";
            return false;
        }
    }
    plataforma::ArquivoIni ini(arquivo);
    auto b = [](bool v) { return std::string(v ? "1" : "0"); };
    auto n = [](const std::string& v) { return std::to_string(std::stol(v)); };
    ini.Grava(kSistema, "ModeloImp", c.modeloImp);
    ini.Grava(kSistema, "Porta", c.porta);
    ini.Grava(kSistema, "Baud", c.baud);
    ini.Grava(kSistema, "Path", c.path);
    ini.Grava(kSistema, "PathRFD", c.pathRFD);
    ini.Grava(kSistema, "PathTDM", c.pathTDM);
    ini.Grava(kSistema, "TIMEOUTREDZ", c.timeoutRedZ);
    ini.Grava(kSistema, "TimeOutComandos", c.timeoutComandos);
    ini.Grava(kSistema, "ENDERECO", c.endereco);
    ini.Grava(kSistema, "EspacamentoDocumentos", n(c.espacamento));
    ini.Grava(kSistema, "Sangria", n(c.sangria));
    ini.Grava(kSistema, "Suprimento", n(c.suprimento));
    ini.Grava(kSistema, "GERA_RFD_REDZ", b(c.geraRfdRedZ));
    ini.Grava(kSistema, "TIPO_GERA_RFD_REDZ", b(c.tipoGeraRfdRedZ));
    ini.Grava(kSistema, "HOMOLOGAR", b(c.homologar));
    ini.Grava(kSistema, "HabilitaCorte", b(c.habilitaCorte));
    ini.Grava(kSistema, "MODOGAVETA", b(c.modoGaveta));
    ini.Grava(kSistema, "ChecaCTS", b(c.checaCts));
    ini.Grava(kSistema, "HabilitaICMSCupom", b(c.habilitaIcmsCupom));
    ini.Grava(kSistema, "LMFAutomatico", b(c.lmfAutomatico));
    ini.Grava(kSistema, "CorrigeRelogioZ", b(c.corrigeRelogioZ));
    ini.Grava("ECF", "UF", c.uf);
    if (!ini.Salva()) {
        erro = "Não foi possível gravar " + arquivo + ": " + plataforma::ArquivoIni::UltimaFalha();
        return false;
    }
    return true;
}

}  // namespace belmora
