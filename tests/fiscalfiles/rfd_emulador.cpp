#include "fiscalfiles/rfd_emulador.h"

#include "comum/dia_rfd.h"
#include "driver/core/configuracao.h"
#include "driver/core/estado.h"
#include "driver/core/registro.h"
#include "driver/fiscalfiles/rfd_conversao.h"
#include "driver/protocols/familia0/parametros.h"
#include "fiscalfiles/sped_ato.h"
#include "tarvo.h"

namespace teste {

namespace fs = std::filesystem;

std::int64_t Centavos(const std::string& valor) {
    std::string d;
    for (char c : valor)
        if (c != ',') d += c;
    return d.empty() ? 0 : std::stoll(d);
}

void RfdComEmulador::SetUp() {
    fs::current_path(atual.Caminho());
    ASSERT_TRUE(e.Inicia(dev.Caminho(), "COM1")) << e.Erro();
    fs::create_directory(home / "rfd");
    EscreveArquivo(home / "TARVO.INI", Sistema());
    tarvo::CarregaConfiguracao();
    tarvo::Estado() = {};
    tarvo::Estado().PrimeiroUsoFeito = true;
    tarvo::PeriodoBuscaSintegra() = {};
}

void RfdComEmulador::TearDown() {
    fs::current_path(antes);
    tarvo::Estado() = {};
    tarvo::PeriodoBuscaSintegra() = {};
}

std::string RfdComEmulador::Sistema() const {
    return "[Sistema]\r\nPorta=COM1\r\nCorrigeRelogioZ=0\r\nPath=" + home.Caminho() +
           "\r\nPathRFD=" + home / "rfd" + "/\r\n";
}

void RfdComEmulador::Configura(const std::string& mais) {
    EscreveArquivo(home / "TARVO.INI", Sistema() + mais);
    tarvo::CarregaConfiguracao();
}

std::string RfdComEmulador::PathTdm() const {
    fs::create_directory(home / "tdm");
    return "PathTDM=" + home / "tdm" + "/\r\n";
}

void RfdComEmulador::Relogio(const std::string& data) {
    emulador::DataHora d;
    d.LeData(data);
    d.LeHora("10:00:00");
    e.Altera([&](emulador::Impressora& i) { i.AjustaRelogio(d); });
}

void RfdComEmulador::Envia(const Passos& passos) {
    for (const auto& [comando, parametros] : passos)
        ASSERT_EQ(tarvo::EnviaComandoTxt(comando, parametros), 1)
            << comando << " " << parametros << ": " << tarvo::Erro().UltimaMensagem;
}

void RfdComEmulador::Dia() {
    Envia(DocumentosDoDiaRfd());
    if (::testing::Test::HasFatalFailure()) return;
    ASSERT_EQ(tarvo::EnviaComandoTxt("EmiteReducaoZ", ""), 1);
}

std::string RfdComEmulador::UnicoRfd() const {
    std::vector<std::string> nomes;
    for (const auto& a : fs::directory_iterator(home / "rfd")) nomes.push_back(a.path().string());
    EXPECT_EQ(nomes.size(), 1u) << home / "rfd";
    return nomes.empty() ? "" : nomes[0];
}

std::vector<std::string> RfdComEmulador::LinhasRfd() const {
    const std::string nome = UnicoRfd();
    return nome.empty() ? std::vector<std::string>{} : LinhasCrLf(LeArquivo(nome));
}

void RfdComEmulador::RfdDaReducao(int reducao, std::vector<std::string>& linhas) {
    ASSERT_EQ(tarvo::RFD_ConvertedaMFDTexto(std::to_string(reducao)), 1) << tarvo::Erro().UltimaMensagem;
    ASSERT_EQ(std::distance(fs::directory_iterator(home / "rfd"), fs::directory_iterator()), 1);
    const fs::path rfd = fs::directory_iterator(home / "rfd")->path();
    linhas = LinhasCrLf(LeArquivo(rfd.string()));
    fs::remove(rfd);
}

std::vector<std::vector<std::string>> RfdComEmulador::Sped(const std::string& ato, const char* inicio,
                                                           const char* fim, const char* perfil) {
    const std::string saida = home / "sped.txt";
    EXPECT_EQ(Tarvo_GeraRegistrosSpedTDM(ato.c_str(), saida.c_str(), inicio, fim, perfil, "5102", "", "0",
                                         "0", 1, ato.c_str()),
              1)
        << tarvo::Erro().UltimaMensagem;
    std::vector<std::vector<std::string>> r;
    for (const auto& l : LinhasCrLf(LeArquivo(saida))) r.push_back(sped::Campos(l));
    return r;
}

std::string RfdComEmulador::Log() const {
    return LeArquivo(atual / "LOG.DAT");
}

}  // namespace teste
