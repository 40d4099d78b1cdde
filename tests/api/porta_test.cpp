// The port exports over a pseudo-terminal reached through TARVO_DEVDIR.
#include <gtest/gtest.h>
#include <sys/file.h>

#include "comum/ambiente.h"
#include "comum/biblioteca.h"
#include "platform/ini.h"

namespace {

class PortaSerial : public ::testing::Test {
  protected:
    teste::PastaTemporaria home, dev;
    teste::Variavel v1{"TARVO_HOME", home.Caminho()};
    teste::Variavel v2{"TARVO_DEVDIR", dev.Caminho()};
    std::string Ini() const { return home / "TARVO.INI"; }

    // Runs the library in a fresh process; the child's exit code carries the export's result + 100.
    int Resultado(const std::function<int(teste::Tarvo&)>& corpo, std::string* mensagem = nullptr) {
        std::string arquivo = home / "msg.txt";
        int r = teste::EmProcessoFilho([&] {
            teste::Tarvo t;
            int resultado = corpo(t);
            auto [codigo, msg] = t.UltimoErro();
            teste::EscreveArquivo(arquivo, std::to_string(codigo) + "|" + msg);
            return resultado + 100;
        });
        if (mensagem) *mensagem = teste::LeArquivo(arquivo);
        return r - 100;
    }
};

TEST_F(PortaSerial, AFreePortOpensAndIsLeftClosed) {
    teste::Pty pty(dev.Caminho(), "COM3");
    teste::EscreveArquivo(Ini(), "[Sistema]\r\nPorta=COM3\r\n");
    std::string msg;
    EXPECT_EQ(Resultado([](teste::Tarvo& t) { return t.Chama<int()>("Tarvo_AbrePortaSerial"); }, &msg), 1);
    EXPECT_EQ(msg, "0|");
    // Left closed: we can take it exclusively now.
    int fd = ::open(pty.Link().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ::close(fd);
}

TEST_F(PortaSerial, APortHeldByAnotherProgramCannotBeOpened) {
    teste::Pty pty(dev.Caminho(), "COM3");
    teste::EscreveArquivo(Ini(), "[Sistema]\r\nPorta=COM3\r\n");
    int pronto[2], solta[2];
    ASSERT_EQ(::pipe(pronto), 0);
    ASSERT_EQ(::pipe(solta), 0);
    pid_t dono = ::fork();
    if (dono == 0) {
        int fd = ::open(pty.Link().c_str(), O_RDWR | O_NOCTTY);
        ::flock(fd, LOCK_EX);
        char c = 'x';
        ::write(pronto[1], &c, 1);
        ::read(solta[0], &c, 1);
        ::_exit(0);
    }
    char c;
    ASSERT_EQ(::read(pronto[0], &c, 1), 1);
    std::string msg;
    EXPECT_EQ(Resultado([](teste::Tarvo& t) { return t.Chama<int()>("Tarvo_AbrePortaSerial"); }, &msg), -5);
    EXPECT_EQ(msg, "-5|Erro Abertura Porta Serial");
    ::write(solta[1], &c, 1);
    ::waitpid(dono, nullptr, 0);
    for (int fd : {pronto[0], pronto[1], solta[0], solta[1]}) ::close(fd);
}

TEST_F(PortaSerial, IniciaPortaStoresThePortEvenWhenItCannotBeOpened) {
    std::string msg;
    EXPECT_EQ(
        Resultado([](teste::Tarvo& t) { return t.Chama<int(const char*)>("Tarvo_IniciaPorta", "Com7"); },
                  &msg),
        -5);
    EXPECT_EQ(msg, "-5|Erro Abertura Porta Serial");
    EXPECT_EQ(plataforma::ArquivoIni::LeChave(Ini(), "Sistema", "Porta", ""), "COM7");

    teste::Pty pty(dev.Caminho(), "COM4");
    EXPECT_EQ(
        Resultado([](teste::Tarvo& t) { return t.Chama<int(const char*)>("Tarvo_IniciaPorta", "COM4"); }), 1);
    EXPECT_EQ(plataforma::ArquivoIni::LeChave(Ini(), "Sistema", "Porta", ""), "COM4");
    EXPECT_EQ(
        Resultado([](teste::Tarvo& t) { return t.Chama<int(const char*)>("Tarvo_IniciaPorta", "COMX"); }),
        -5);
    EXPECT_EQ(plataforma::ArquivoIni::LeChave(Ini(), "Sistema", "Porta", ""), "COM1");
}

TEST_F(PortaSerial, ResultFileIsReadBackOnlyWhenItExists) {
    teste::EscreveArquivo(Ini(), "[Sistema]\r\nPath=C:\\trabalho\r\n");
    std::filesystem::create_directory(home / "trabalho");
    auto le = [](teste::Tarvo& t) {
        char buf[64] = "intacto";
        int r = t.Chama<int(char*)>("Tarvo_LeArquivoRetorno", buf);
        return r * 10 + (std::string(buf) == "intacto" ? 0 : 1);
    };
    EXPECT_EQ(Resultado(le), 0);
    teste::EscreveArquivo(home / "trabalho/RETORNO.TXT", "0042\r\n");
    EXPECT_EQ(Resultado(le), 11);
    EXPECT_EQ(Resultado([](teste::Tarvo& t) {
                  char buf[64] = {};
                  t.Chama<int(char*)>("Tarvo_LeArquivoRetorno", buf);
                  return std::string(buf) == "0042" ? 1 : 0;
              }),
              1);
}

}  // namespace
