#include "console/main/configuracao_console.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/codepage.h"
#include "platform/ini.h"
#include "platform/pastas.h"
#include "platform/processo.h"

namespace belmora {

std::string ArquivoIniConsole() {
    return plataforma::ArquivoNaPasta(plataforma::PastaPrograma(), "TARVO.INI");
}

ConfiguracaoConsole LeConfiguracaoConsole() {
    plataforma::ArquivoIni ini(ArquivoIniConsole());
    ConfiguracaoConsole c;
    c.Arquivo = ArquivoIniConsole();
    std::vector<std::string> reescritas;
    c.Path = ini.Le("Sistema", "Path", "C:\\");
    c.PathRFD = ini.Le("Sistema", "PathRFD", "C:\\");
    c.PathTDM = ini.Le("Sistema", "PathTDM", "C:\\");
    c.TimeOutComandos = ini.Le("Sistema", "TimeOutComandos", "6");
    const std::string programa = plataforma::PastaPrograma();
    const struct {
        std::string& valor;
        const char* chave;
        const char* subpasta;
    } pastas[] = {
        {c.Path, "Path", "RFDTemp/"}, {c.PathRFD, "PathRFD", "RFD/"}, {c.PathTDM, "PathTDM", "MemoriasTDM/"}};
    for (const auto& p : pastas) {
        const std::string propria = programa + p.subpasta;
        if (p.valor == "C:\\") {
            p.valor = propria;
            ini.Grava("Sistema", p.chave, p.valor);
            reescritas.push_back(p.chave);
        }
        if (p.valor == propria) plataforma::CriaPasta(propria);
    }
    // Only what is stored counts as written back: a restart would not find the rest either.
    if (!reescritas.empty()) {
        if (ini.Salva())
            c.PastasReescritas = true;
        else
            c.NaoGravadas = reescritas;
    }
    return c;
}

std::string AvisoConfiguracaoNaoGravada(const ConfiguracaoConsole& c) {
    if (c.NaoGravadas.empty()) return "";
    std::string chaves;
    for (const std::string& k : c.NaoGravadas) chaves += (chaves.empty() ? "" : ", ") + k;
    return "Não foi possível gravar a configuração " + chaves + " em " + c.Arquivo +
           " (arquivo ou pasta sem permissão de escrita). Nesta execução vale o valor lido; "
           "as pastas podem não ser as esperadas.";
}

void PreparaPastas(char** argv) {
    if (LeConfiguracaoConsole().PastasReescritas) plataforma::ReiniciaPrograma(argv);
}

std::string PastaDoUsuario(const char* tarvoHome, bool programaGravavel, const char* xdgDataHome,
                           const char* home) {
    if (programaGravavel) return "";
    std::string pasta;
    if (xdgDataHome && xdgDataHome[0] == '/')
        pasta = xdgDataHome;
    else if (home && home[0] == '/')
        pasta = std::string(home) + (home[std::strlen(home) - 1] == '/' ? "" : "/") + ".local/share";
    else
        return "";
    pasta += (pasta.back() == '/' ? "" : "/") + std::string("belmora/");
    if (tarvoHome && *tarvoHome) {
        std::string escolhida = tarvoHome;
        if (escolhida.back() != '/') escolhida += '/';
        if (escolhida != pasta) return "";
    }
    return pasta;
}

PastaDeDados EscolhePastaDeDados() {
    const char* tarvoHome = std::getenv("TARVO_HOME");
    PastaDeDados d;
    d.pasta = PastaDoUsuario(tarvoHome, plataforma::PastaGravavel(plataforma::PastaExecutavel()),
                             std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (d.pasta.empty() || (tarvoHome && *tarvoHome)) return d;
    if (!plataforma::CriaPasta(d.pasta)) return {};
    plataforma::DefineVariavel("TARVO_HOME", d.pasta);
    d.definida = true;
    return d;
}

std::string ArquivoDoConsole(const std::string& relativo) {
    const std::string lugares[] = {relativo, plataforma::PastaPrograma() + relativo,
                                   plataforma::PastaExecutavel() + relativo,
                                   plataforma::PastaExecutavel() + "../share/belmora/" + relativo};
    for (const std::string& caminho : lugares)
        if (plataforma::ExisteArquivo(caminho)) return caminho;
    return "";
}

std::string PortaAtual() {
    return plataforma::ArquivoIni::LeChave(ArquivoIniConsole(), "Sistema", "Porta", "COM1");
}

std::string PathRFD() {
    return plataforma::ArquivoIni::LeChave(ArquivoIniConsole(), "Sistema", "PathRFD",
                                           plataforma::PastaAtual());
}

bool GravaPorta(const std::string& porta) {
    return plataforma::ArquivoIni::GravaChave(ArquivoIniConsole(), "Sistema", "Porta", porta);
}

std::string SalvaLogOperador(const std::vector<std::string>& linhasUtf8, const std::string& pasta,
                             const plataforma::DataHora& agora) {
    char base[64];
    std::snprintf(base, sizeof base, "log_%04d%02d%02d%02d%02d", agora.ano % 10000, agora.mes % 100,
                  agora.dia % 100, agora.hora % 100, agora.minuto % 100);
    std::string texto;
    for (const std::string& l : linhasUtf8) texto += plataforma::Utf8ParaCp1252(l) + "\r\n";
    for (int n = 1; n < 1000; ++n) {
        std::string nome = pasta + base + (n == 1 ? std::string() : "_" + std::to_string(n)) + ".txt";
        // "x": create only, so an earlier log of the same name is never overwritten.
        std::FILE* f = std::fopen(nome.c_str(), "wbx");
        if (!f) {
            if (plataforma::ExisteArquivo(nome)) continue;
            return "";
        }
        bool ok = std::fwrite(texto.data(), 1, texto.size(), f) == texto.size();
        ok = std::fclose(f) == 0 && ok;
        return ok ? nome : "";
    }
    return "";
}

}  // namespace belmora
