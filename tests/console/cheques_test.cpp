// The cheque-layout file and the table behind it: the 18-line blocks written in bank order,
// read back by key name, refused whole when a block is short or a position is not a number,
// written under the name the library reads (replacing other spellings), and the table
// replaced in one transaction that a bad row rolls back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "comum/ambiente.h"
#include "console/database/dm_vintaro.h"
#include "console/layouts/cheques_ini.h"

namespace {

using belmora::LayoutCheque;

LayoutCheque L(int banco, const char* nome, int base) {
    LayoutCheque c;
    c.numBanco = banco;
    c.nomeBanco = QString::fromUtf8(nome);
    int* campos[] = {&c.hPosAno,           &c.hPosCidade,     &c.hPosDia,           &c.hPosExtensoLinha1,
                     &c.hPosExtensoLinha2, &c.hPosFavorecido, &c.hPosMes,           &c.hPosMsgLinha1,
                     &c.hPosValor,         &c.vPosCidade,     &c.vPosExtensoLinha1, &c.vPosExtensoLinha2,
                     &c.vPosFavorecido,    &c.vPosMsgLinha1,  &c.vPosValor};
    int n = base;
    for (int* p : campos) *p = n++;
    return c;
}

bool Iguais(const LayoutCheque& a, const LayoutCheque& b) {
    return QByteArray(belmora::TextoChequesIni({a})) == belmora::TextoChequesIni({b});
}

QByteArray Bloco(const char* secao, const char* nome, const char* hPosValor = "100") {
    return QByteArray("[") + secao + "]\r\nNomeBanco=" + nome +
           "\r\nHPosAno=1\r\nHPosCidade=2\r\nHPosDia=3\r\nHPosExtensoLinha1=4\r\nHPosExtensoLinha2=5\r\n"
           "HPosFavorecido=6\r\nHPosMes=7\r\nHPosMsgLinha1=8\r\nHPosValor=" +
           hPosValor +
           "\r\nVPosCidade=10\r\nVPosExtensoLinha1=11\r\nVPosExtensoLinha2=12\r\nVPosFavorecido=13\r\n"
           "VPosMsgLinha1=14\r\nVPosValor=15\r\n \r\n";
}

TEST(ChequesIni, BlocksOfEighteenLinesInTheOrderGivenInWindows1252) {
    const QByteArray t = belmora::TextoChequesIni({L(1, "Banco do Brasil", 10), L(237, "Bradesco São", 500)});
    const QList<QByteArray> linhas = t.split('\n');
    ASSERT_EQ(linhas.size(), 37);  // two blocks and the empty piece after the last CR LF
    EXPECT_EQ(linhas[0], "[1]\r");
    EXPECT_EQ(linhas[1], "NomeBanco=Banco do Brasil\r");
    EXPECT_EQ(linhas[2], "HPosAno=10\r");
    EXPECT_EQ(linhas[7], "HPosFavorecido=15\r");
    EXPECT_EQ(linhas[16], "VPosValor=24\r");
    EXPECT_EQ(linhas[17], " \r");
    EXPECT_EQ(linhas[18], "[237]\r");
    EXPECT_EQ(linhas[19], "NomeBanco=Bradesco S\xE3o\r");
    EXPECT_TRUE(t.endsWith(" \r\n"));
}

TEST(ChequesIni, ReadBackGivesTheSameLayoutsAndKeysAreFoundByName) {
    const std::vector<LayoutCheque> antes{L(1, "Banco do Brasil", 10), L(237, "Bradesco São", 500)};
    std::vector<LayoutCheque> lidos;
    QString erro;
    ASSERT_TRUE(belmora::LeChequesIni(belmora::TextoChequesIni(antes), lidos, erro)) << erro.toStdString();
    ASSERT_EQ(lidos.size(), 2u);
    EXPECT_TRUE(Iguais(lidos[0], antes[0]));
    EXPECT_TRUE(Iguais(lidos[1], antes[1]));
    EXPECT_EQ(lidos[1].nomeBanco, QString::fromUtf8("Bradesco São"));

    // Leading zeros, keys in another order and case, LF ends, an "Observacao" the file may hold.
    QByteArray t = Bloco("0237", "Bradesco");
    const QByteArray ano = "HPosAno=1\r\n";
    t.replace(ano, "");
    t.replace("VPosValor=15\r\n", "vposvalor = 15\nObservacao=layout novo\n" + ano);
    ASSERT_TRUE(belmora::LeChequesIni(t, lidos, erro)) << erro.toStdString();
    ASSERT_EQ(lidos.size(), 1u);
    EXPECT_EQ(lidos[0].numBanco, 237);
    EXPECT_EQ(lidos[0].hPosAno, 1);
    EXPECT_EQ(lidos[0].hPosValor, 100);
    EXPECT_EQ(lidos[0].vPosValor, 15);
}

TEST(ChequesIni, AShortBlockANonNumberOrARepeatedBankRefusesTheWholeFile) {
    const std::vector<LayoutCheque> antes{L(9, "guardado", 1)};
    struct Caso {
        const char* nome;
        QByteArray texto;
    };
    QByteArray curto = Bloco("2", "B");
    curto.replace("VPosMsgLinha1=14\r\n", "");
    const Caso casos[] = {
        {"short block after a good one", Bloco("1", "A") + curto},
        {"letter in a position", Bloco("1", "A") + Bloco("2", "B", "1O0")},
        {"negative position", Bloco("1", "A", "-5")},
        {"empty position", Bloco("1", "A", "")},
        {"bank that is not a number", Bloco("Itau", "A")},
        {"bank given twice", Bloco("1", "A") + Bloco("001", "B")},
        {"no name", QByteArray(Bloco("1", "A")).replace("NomeBanco=A\r\n", "")},
        {"name over 60", Bloco("1", QByteArray(61, 'x').constData())},
        {"no block at all", "; vazio\r\n"},
        {"unclosed section", "[12\r\n"},
    };
    for (const Caso& c : casos) {
        std::vector<LayoutCheque> saida = antes;
        QString erro;
        EXPECT_FALSE(belmora::LeChequesIni(c.texto, saida, erro)) << c.nome;
        EXPECT_FALSE(erro.isEmpty()) << c.nome;
        ASSERT_EQ(saida.size(), 1u) << c.nome;
        EXPECT_EQ(saida[0].nomeBanco, "guardado") << c.nome;
    }
}

TEST(ChequesIni, WrittenAsTheLibraryNamesItReplacingOtherSpellings) {
    teste::PastaTemporaria pasta;
    { std::ofstream(pasta / "Cheques.ini") << "[1]\r\nNomeBanco=velho\r\n"; }
    { std::ofstream(pasta / "cheques.INI") << "lixo"; }
    QString erro;
    ASSERT_TRUE(belmora::GravaChequesIni(pasta.Caminho(), {L(341, "Itau", 7)}, erro)) << erro.toStdString();
    std::vector<std::string> nomes;
    for (const auto& e : std::filesystem::directory_iterator(pasta.Caminho()))
        if (e.path().filename().string()[0] != '.') nomes.push_back(e.path().filename().string());
    EXPECT_EQ(nomes, std::vector<std::string>{"CHEQUES.INI"});
    EXPECT_EQ(belmora::CaminhoChequesIni(pasta.Caminho()), pasta / "CHEQUES.INI");

    std::vector<LayoutCheque> lidos;
    ASSERT_TRUE(belmora::ImportaChequesIni(pasta.Caminho(), lidos, erro)) << erro.toStdString();
    ASSERT_EQ(lidos.size(), 1u);
    EXPECT_TRUE(Iguais(lidos[0], L(341, "Itau", 7)));

    // A file of another spelling written by someone else is found on import.
    std::filesystem::remove(pasta / "CHEQUES.INI");
    { std::ofstream(pasta / "cheques.ini", std::ios::binary) << Bloco("0237", "Bradesco").toStdString(); }
    ASSERT_TRUE(belmora::ImportaChequesIni(pasta.Caminho(), lidos, erro)) << erro.toStdString();
    EXPECT_EQ(lidos.at(0).numBanco, 237);

    std::filesystem::remove(pasta / "cheques.ini");
    EXPECT_FALSE(belmora::ImportaChequesIni(pasta.Caminho(), lidos, erro));
    EXPECT_EQ(erro, QString::fromUtf8("Arquivo cheques.ini não encontrado!"));
}

TEST(ChequesBanco, ExportThenImportGivesTheSameRowsAndABadRowLeavesTheTable) {
    teste::PastaTemporaria pasta;
    belmora::TdmVintaro dm;
    ASSERT_TRUE(dm.Conecta(pasta.Caminho())) << dm.Erro().toStdString();
    QString erro;
    ASSERT_TRUE(dm.SalvarCheque(L(237, "Bradesco São", 100), erro)) << erro.toStdString();
    ASSERT_TRUE(dm.SalvarCheque(L(1, "Banco do Brasil", 200), erro)) << erro.toStdString();
    const std::vector<LayoutCheque> antes = dm.Cheques();
    ASSERT_EQ(antes.size(), 2u);

    ASSERT_TRUE(belmora::GravaChequesIni(pasta.Caminho(), dm.Cheques(), erro)) << erro.toStdString();
    std::vector<LayoutCheque> lidos;
    ASSERT_TRUE(belmora::ImportaChequesIni(pasta.Caminho(), lidos, erro)) << erro.toStdString();
    ASSERT_TRUE(dm.SubstituiCheques(lidos, erro)) << erro.toStdString();
    ASSERT_EQ(dm.Cheques().size(), 2u);
    for (std::size_t i = 0; i < antes.size(); ++i) EXPECT_TRUE(Iguais(dm.Cheques()[i], antes[i])) << i;

    // A name the column cannot hold fails the third insert: the first two and the clearing
    // are rolled back with it.
    std::vector<LayoutCheque> ruins{L(5, "A", 1), L(6, "B", 1), L(7, std::string(70, 'z').c_str(), 1)};
    EXPECT_FALSE(dm.SubstituiCheques(ruins, erro));
    EXPECT_FALSE(erro.isEmpty());
    ASSERT_EQ(dm.Cheques().size(), 2u);
    EXPECT_TRUE(Iguais(dm.Cheques()[0], antes[0]));
    QString recarga;
    ASSERT_TRUE(dm.Recarrega(recarga));
    EXPECT_EQ(dm.Cheques().size(), 2u);
}

}  // namespace
