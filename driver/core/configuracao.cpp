#include "driver/core/configuracao.h"

#include <map>
#include <mutex>
#include <optional>

#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "platform/ini.h"
#include "platform/pastas.h"

namespace tarvo {

namespace {

const char* const kArquivoIni = "TARVO.INI";

bool LigadoSeNaoZero(const std::string& texto) {
    return ParaInteiro(texto, 0) != 0;
}

// A TARVO.INI that cannot be stored (read-only, another user's, a full disk) must not stop
// the host program: what could not be stored lives on in memory, and the driver log says
// so once per process.
std::mutex& TravaNaoGravados() {
    static std::mutex m;
    return m;
}
// Values of single-key writes that could not be stored, by section and key (upper case).
std::map<std::pair<std::string, std::string>, std::string>& NaoGravados() {
    static std::map<std::pair<std::string, std::string>, std::string> m;
    return m;
}
std::pair<std::string, std::string> ChaveMemoria(const std::string& secao, const std::string& chave) {
    return {MaiusculasAnsi(secao), MaiusculasAnsi(chave)};
}

// The last packet number that could not be stored, and the file's value it was to replace:
// while the file still holds that value the count goes on from memory; once another process
// has stored a number, the count follows the file again.
struct PacoteNaoGravado {
    bool pendente = false;
    int emMemoria = 0;
    std::optional<std::string> substituido;
};
std::mutex& TravaPacote() {
    static std::mutex m;
    return m;
}
PacoteNaoGravado& PacotePendente() {
    static PacoteNaoGravado p;
    return p;
}

void InformaFalhaIni() {
    static std::once_flag uma;
    std::call_once(uma, [] {
        GravaLog("---[Nao foi possivel gravar " + plataforma::ArquivoIni::UltimaFalha() +
                 "; os valores ficam em memoria]---");
    });
}

// PathRFD and PathTDM: empty means the program folder, or its sub-folder when it exists
// (and then the sub-folder is written back).
std::string PastaDeArquivosFiscais(plataforma::ArquivoIni& ini, const char* chave, const char* subpasta) {
    std::string valor = ini.Le("Sistema", chave, "");
    if (!valor.empty()) return plataforma::ConvertePasta(valor);
    std::string programa = plataforma::CaminhoCurto(plataforma::PastaPrograma());
    std::string sub = plataforma::ArquivoNaPasta(programa, subpasta);
    if (plataforma::ExistePasta(sub)) {
        std::string pasta = sub + "/";
        ini.Grava("Sistema", chave, pasta);
        return pasta;
    }
    return programa;
}

}  // namespace

Configuracao& Config() {
    static Configuracao c;
    return c;
}

std::string LocalizaArquivoIni() {
    // Every frame locates the file: the exact name first, one look-up in the usual case.
    const std::string programa = plataforma::PastaPrograma();
    std::string exato = programa + kArquivoIni;
    if (plataforma::ExisteArquivo(exato)) return exato;
    std::string primeiro = plataforma::ArquivoNaPasta(programa, kArquivoIni);
    if (primeiro != exato && plataforma::ExisteArquivo(primeiro)) return primeiro;
    for (const std::string& pasta : plataforma::PastasDoSistema()) {
        std::string candidato = plataforma::ArquivoNaPasta(pasta, kArquivoIni);
        if (plataforma::ExisteArquivo(candidato)) return candidato;
    }
    return primeiro;
}

void FamiliaDoModelo(const std::string& modelo, std::uint8_t& familia, std::int32_t& subModelo) {
    struct Linha {
        const char* modelo;
        std::uint8_t familia;
        std::int32_t subModelo;
    };
    static const Linha tabela[] = {
        {"TARVO_SARTO", 2, 0},   {"TARVO_LISKO", 1, 0},    {"TARVO_NARDO", 0, 2},
        {"TARVO_VESK", 0, 3},    {"TARVO_KELT_LPT", 4, 0}, {"TARVO_KELT_SERIAL", 5, 0},
        {"TARVO_ORVIKTH", 0, 1}, {"TARVO_DASK300", 0, 1},
    };
    familia = 0;
    subModelo = 0;
    for (const Linha& l : tabela)
        if (modelo == l.modelo) {
            familia = l.familia;
            subModelo = l.subModelo;
            return;
        }
}

void LeConfiguracaoPorta(plataforma::ArquivoIni& ini) {
    Configuracao& c = Config();
    if (c.FamiliaModelo == FamiliaKeltParalela) {
        std::string porta = ini.Le("Sistema", "Porta", "LPT1");
        if (porta.size() == 3 || porta.size() == 5 || porta.compare(0, 3, "LPT") != 0 || porta.size() < 3) {
            porta = "LPT1";
        } else {
            char quarto = porta[3];
            porta = "LPT" + std::to_string(quarto >= '0' && quarto <= '9' ? quarto - '0' : 1);
        }
        ini.Grava("Sistema", "Porta", porta);
        c.PortaDispositivo = porta;
        int base = ParaInteiro("$" + ini.Le("Sistema", "Endereco", "378"), 888);
        c.PortaDados = base;
        c.PortaStatus = base + 1;
        c.PortaControle = base + 2;
    } else {
        std::string porta = ini.Le("Sistema", "Porta", "COM1");
        int numero = ParaInteiro(porta.size() > 3 ? porta.substr(3, 2) : std::string(), 1);
        ini.Grava("Sistema", "Porta", "COM" + std::to_string(numero));
        c.PortaDispositivo = "\\\\.\\COM" + std::to_string(numero);
        if (c.FamiliaModelo == FamiliaKeltSerial) {
            c.PortaBaud = ini.Le("Sistema", "BAUD", "9600");
        } else {
            std::string baud = ini.Le("Sistema", "BAUD", "115200");
            c.PortaBaud =
                (baud == "9600" || baud == "19200" || baud == "38400" || baud == "57600") ? baud : "115200";
        }
    }
    std::string path = ini.Le("Sistema", "Path", "C:\\");
    c.Path = plataforma::ConvertePasta(path);
    ini.Grava("Sistema", "Path", path);
}

void RelePortaConfigurada() {
    plataforma::ArquivoIni ini(LocalizaArquivoIni());
    {
        // A port chosen by a write that could not be stored is still the port to open.
        std::lock_guard<std::mutex> g(TravaNaoGravados());
        for (const auto& [sk, valor] : NaoGravados()) ini.Grava(sk.first, sk.second, valor);
    }
    LeConfiguracaoPorta(ini);
    if (!ini.Salva()) InformaFalhaIni();
}

void CarregaConfiguracao() {
    Configuracao& c = Config();
    c = Configuracao{};
    Estado() = EstadoDriver{};
    {
        // What a former load could not store gives way to the file as it is now.
        std::lock_guard<std::mutex> g(TravaPacote());
        PacotePendente() = {};
    }
    {
        std::lock_guard<std::mutex> g(TravaNaoGravados());
        NaoGravados().clear();
    }

    plataforma::ArquivoIni ini(LocalizaArquivoIni());

    std::string modelo = ini.Le("Sistema", "ModeloImp", "TARVO_RIX");
    ini.Grava("Sistema", "ModeloImp", modelo);
    FamiliaDoModelo(modelo, c.FamiliaModelo, c.SubModelo);

    c.Homologar = ini.Le("Sistema", "Homologar", "0") != "0";
    c.Debugger = ini.Le("Sistema", "DEBUGGER", "0") != "0";

    LeConfiguracaoPorta(ini);  // also the work folder (Path)

    // Not a number: the exchange mode stays off rather than stopping the host program.
    c.ConfigRede = ParaInteiro(ini.Le("Sistema", "ConfigRede", "0"), 0);
    c.PathRFD = PastaDeArquivosFiscais(ini, "PathRFD", "RFD");
    c.PathTDM = PastaDeArquivosFiscais(ini, "PathTDM", "Memorias");
    c.Dinheiro = ParaInteiro(ini.Le("Sistema", "DINHEIRO", "0"), 0);

    c.HabilitaICMSCupom = ini.Le("Sistema", "HabilitaICMSCupom", "0") == "1";
    ini.Grava("Sistema", "HabilitaICMSCupom", c.HabilitaICMSCupom ? "1" : "0");

    c.UF = MaiusculasAnsi(ini.Le("ECF", "UF", ""));
    c.CampanhaEstadual = c.UF == "RJ" || (c.UF == "MG" && c.HabilitaICMSCupom);

    c.CupomManiaTotalImp = ini.Le("Flags", "CupomManiaTotalImp", "0.00");
    c.IdAplicativo = ini.Le("Sistema", "IdAplicativo", "");

    c.TimeOutRedZ = ParaInteiro(ini.Le("Sistema", "TimeOutRedZ", "40"), 40);
    ini.Grava("Sistema", "TimeOutRedZ", std::to_string(c.TimeOutRedZ));
    c.TimeOutComandos = ParaInteiro(ini.Le("Sistema", "TimeOutComandos", "10"), 10);
    if (c.TimeOutComandos < 5) c.TimeOutComandos = 5;
    ini.Grava("Sistema", "TimeOutComandos", std::to_string(c.TimeOutComandos));
    c.EspacamentoDocumentos = ParaInteiro(ini.Le("Sistema", "EspacamentoDocumentos", "7"), 7);
    ini.Grava("Sistema", "EspacamentoDocumentos", std::to_string(c.EspacamentoDocumentos));

    if (c.SubModelo != 0) {
        c.TipoCorte = ParaInteiro(ini.Le("Sistema", "HabilitaCorte", "0"), 0);
        c.HabilitaCorte = std::to_string(c.TipoCorte);
        ini.Grava("Sistema", "HabilitaCorte", c.HabilitaCorte);
    } else {
        c.HabilitaCorte = "0";
        c.TipoCorte = 0;
    }

    c.ChecaCTS = LigadoSeNaoZero(ini.Le("Sistema", "ChecaCTS", "1"));
    ini.Grava("Sistema", "ChecaCTS", c.ChecaCTS ? "1" : "0");
    c.CorrigeRelogioZ = LigadoSeNaoZero(ini.Le("Sistema", "CorrigeRelogioZ", "1"));
    ini.Grava("Sistema", "CorrigeRelogioZ", c.CorrigeRelogioZ ? "1" : "0");

    c.Gerencial = ParaInteiro(ini.Le("Flags", "Gerencial", "0"), 0);

    c.Sangria = ini.Le("Sistema", "SANGRIA", "1");
    c.Suprimento = ini.Le("Sistema", "SUPRIMENTO", "0");
    c.GeraRfdRedZ = ini.Le("Sistema", "GERA_RFD_REDZ", "0");
    c.TipoGeraRfdRedZ = ini.Le("Sistema", "TIPO_GERA_RFD_REDZ", "0");
    ini.Grava("Sistema", "SANGRIA", c.Sangria);
    ini.Grava("Sistema", "SUPRIMENTO", c.Suprimento);

    c.ModoGaveta = ini.Le("Sistema", "ModoGaveta", "0");

    c.CupomManiaLido = LigadoSeNaoZero(ini.Le("Flags", "CupomManiaLido", "0"));
    c.CupomManiaValorAux = ini.Le("Flags", "CupomManiaValorAux", "0");

    c.LMFAutomatico = LigadoSeNaoZero(ini.Le("Sistema", "LMFAutomatico", "0"));
    c.LMFAUT_UltimaData = ini.Le("Flags", "LMFAUT_UltimaData", "");
    c.LmfAutomaticaFeita = !c.LMFAutomatico;
    c.LmfAutomaticaRodando = false;
    ini.Grava("Sistema", "LMFAutomatico", c.LMFAutomatico ? "1" : "0");

    // Nothing is written when the file already holds every normalised value.
    if (!ini.Salva()) InformaFalhaIni();
}

int ProximoPacote() {
    std::lock_guard<std::mutex> g(TravaPacote());
    PacoteNaoGravado& p = PacotePendente();
    int proximo = 1;
    std::optional<std::string> lido;
    auto conta = [&](const std::optional<std::string>& atual) {
        lido = atual;
        int n = p.pendente && atual == p.substituido ? p.emMemoria : ParaInteiro(atual.value_or("1"), 1);
        // Packet numbers run 1 to 255; anything outside restarts at 1.
        proximo = (n < 1 || n >= 255) ? 1 : n + 1;
        return std::to_string(proximo);
    };
    // Stored as three characters ("1  " to "255"), so that every frame's store is in place.
    constexpr std::size_t kLargura = 3;
    // The file is located at every frame. In the usual case it is the exact name in the
    // program folder, and the store itself tells under its lock whether that file exists;
    // only when it does not is the whole search made.
    static bool exatoAusente = false;
    std::optional<std::string> gravado;
    bool ausente = exatoAusente;
    if (!ausente)
        gravado = plataforma::ArquivoIni::Atualiza(plataforma::PastaPrograma() + kArquivoIni, "Flags",
                                                   "NumPkt", conta, kLargura, &ausente);
    if (ausente) {
        const std::string arquivo = LocalizaArquivoIni();
        exatoAusente = arquivo != plataforma::PastaPrograma() + kArquivoIni;
        gravado = plataforma::ArquivoIni::Atualiza(arquivo, "Flags", "NumPkt", conta, kLargura);
    }
    if (gravado) {
        p.pendente = false;
    } else {
        p = {true, proximo, lido};
        InformaFalhaIni();
    }
    return proximo;
}

void GravaFlagGerencial(int valor) {
    Config().Gerencial = valor;
    GravaChaveIni("Flags", "Gerencial", std::to_string(valor));
}

void GravaUltimaLMF(const std::string& mesAno) {
    Config().LMFAUT_UltimaData = mesAno;
    GravaChaveIni("Flags", "LMFAUT_UltimaData", mesAno);
}

bool GravaChaveIni(const std::string& secao, const std::string& chave, const std::string& valor) {
    const bool gravado = plataforma::ArquivoIni::GravaChave(LocalizaArquivoIni(), secao, chave, valor);
    {
        std::lock_guard<std::mutex> g(TravaNaoGravados());
        if (gravado)
            NaoGravados().erase(ChaveMemoria(secao, chave));
        else
            NaoGravados()[ChaveMemoria(secao, chave)] = valor;
    }
    if (!gravado) InformaFalhaIni();
    return gravado;
}

std::string LeChaveIni(const std::string& secao, const std::string& chave, const std::string& padrao) {
    {
        std::lock_guard<std::mutex> g(TravaNaoGravados());
        auto it = NaoGravados().find(ChaveMemoria(secao, chave));
        if (it != NaoGravados().end()) return it->second;
    }
    return plataforma::ArquivoIni::LeChave(LocalizaArquivoIni(), secao, chave, padrao);
}

}  // namespace tarvo

namespace tarvo {
EstadoDriver& Estado() {
    static EstadoDriver e;
    return e;
}
}  // namespace tarvo
