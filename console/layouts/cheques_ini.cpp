#include "console/layouts/cheques_ini.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>
#include <set>

#include "platform/arquivo.h"
#include "platform/codepage.h"
#include "platform/pastas.h"

namespace belmora {

namespace {

struct Posicao {
    const char* chave;
    int LayoutCheque::*campo;
};

// The fifteen positions in the order the file holds them.
constexpr std::array<Posicao, 15> kPosicoes{{
    {"HPosAno", &LayoutCheque::hPosAno},
    {"HPosCidade", &LayoutCheque::hPosCidade},
    {"HPosDia", &LayoutCheque::hPosDia},
    {"HPosExtensoLinha1", &LayoutCheque::hPosExtensoLinha1},
    {"HPosExtensoLinha2", &LayoutCheque::hPosExtensoLinha2},
    {"HPosFavorecido", &LayoutCheque::hPosFavorecido},
    {"HPosMes", &LayoutCheque::hPosMes},
    {"HPosMsgLinha1", &LayoutCheque::hPosMsgLinha1},
    {"HPosValor", &LayoutCheque::hPosValor},
    {"VPosCidade", &LayoutCheque::vPosCidade},
    {"VPosExtensoLinha1", &LayoutCheque::vPosExtensoLinha1},
    {"VPosExtensoLinha2", &LayoutCheque::vPosExtensoLinha2},
    {"VPosFavorecido", &LayoutCheque::vPosFavorecido},
    {"VPosMsgLinha1", &LayoutCheque::vPosMsgLinha1},
    {"VPosValor", &LayoutCheque::vPosValor},
}};

constexpr int kTamanhoNome = 60;  // NOME_BANCO is a text of 60

QString DeCp1252(const std::string& s) {
    return QString::fromStdString(plataforma::Cp1252ParaUtf8(s));
}

std::string Apara(const std::string& s) {
    const auto i = s.find_first_not_of(" \t");
    if (i == std::string::npos) return {};
    return s.substr(i, s.find_last_not_of(" \t") - i + 1);
}

// A non-negative decimal that fits an integer column.
std::optional<int> Numero(const std::string& s) {
    if (s.empty() || s.size() > 9) return std::nullopt;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

struct Bloco {
    std::string secao;
    std::vector<std::pair<std::string, std::string>> chaves;
    const std::string* Valor(const char* chave) const {
        // Keys are ASCII and found whatever their case.
        const auto igual = [](unsigned char a, unsigned char b) {
            return std::tolower(a) == std::tolower(b);
        };
        const std::size_t n = std::strlen(chave);
        for (const auto& [k, v] : chaves)
            if (k.size() == n && std::equal(k.begin(), k.end(), chave, igual)) return &v;
        return nullptr;
    }
};

}  // namespace

QByteArray TextoChequesIni(const std::vector<LayoutCheque>& layouts) {
    std::string texto;
    for (const LayoutCheque& c : layouts) {
        texto += "[" + std::to_string(c.numBanco) + "]\r\n";
        texto += "NomeBanco=" + plataforma::Utf8ParaCp1252(c.nomeBanco.toStdString()) + "\r\n";
        for (const Posicao& p : kPosicoes)
            texto += std::string(p.chave) + "=" + std::to_string(c.*p.campo) + "\r\n";
        texto += " \r\n";
    }
    return QByteArray::fromStdString(texto);
}

bool LeChequesIni(const QByteArray& bruto, std::vector<LayoutCheque>& saida, QString& erro) {
    // Sections and their keys, as the profile functions see them.
    std::vector<Bloco> blocos;
    const std::string texto = bruto.toStdString();
    std::size_t i = 0;
    while (i < texto.size()) {
        std::size_t fim = texto.find_first_of("\r\n", i);
        if (fim == std::string::npos) fim = texto.size();
        const std::string linha = Apara(texto.substr(i, fim - i));
        i = fim;
        if (i < texto.size() && texto[i] == '\r') ++i;
        if (i < texto.size() && texto[i] == '\n') ++i;
        if (linha.empty() || linha[0] == ';') continue;
        if (linha[0] == '[') {
            const auto fecha = linha.find(']');
            if (fecha == std::string::npos) {
                erro = QStringLiteral("Linha inválida no arquivo de cheques: ") + DeCp1252(linha);
                return false;
            }
            blocos.push_back({Apara(linha.substr(1, fecha - 1)), {}});
            continue;
        }
        const auto igual = linha.find('=');
        if (blocos.empty() || igual == std::string::npos) continue;  // outside a section, or no key
        blocos.back().chaves.emplace_back(Apara(linha.substr(0, igual)), Apara(linha.substr(igual + 1)));
    }
    if (blocos.empty()) {
        erro = QStringLiteral("O arquivo de cheques não contém nenhum layout");
        return false;
    }

    std::vector<LayoutCheque> lidos;
    std::set<int> bancos;
    for (const Bloco& b : blocos) {
        const QString secao = DeCp1252(b.secao);
        LayoutCheque c;
        const auto banco = Numero(b.secao);
        if (!banco) {
            erro = QStringLiteral("Número de banco inválido: [") + secao + QStringLiteral("]");
            return false;
        }
        if (!bancos.insert(*banco).second) {
            erro = QStringLiteral("Banco repetido no arquivo de cheques: [") + secao + QStringLiteral("]");
            return false;
        }
        c.numBanco = *banco;
        const std::string* nome = b.Valor("NomeBanco");
        if (!nome) {
            erro = QStringLiteral("Falta NomeBanco no banco [") + secao + QStringLiteral("]");
            return false;
        }
        c.nomeBanco = DeCp1252(*nome);
        if (c.nomeBanco.size() > kTamanhoNome) {
            erro = QStringLiteral("Nome do banco [") + secao + QStringLiteral("] com mais de 60 caracteres");
            return false;
        }
        for (const Posicao& p : kPosicoes) {
            const std::string* v = b.Valor(p.chave);
            if (!v) {
                erro = QStringLiteral("Falta ") + QLatin1String(p.chave) + QStringLiteral(" no banco [") +
                       secao + QStringLiteral("]");
                return false;
            }
            const auto n = Numero(*v);
            if (!n) {
                erro = QStringLiteral("Posição inválida no banco [") + secao + QStringLiteral("]: ") +
                       QLatin1String(p.chave) + QStringLiteral("=") + DeCp1252(*v);
                return false;
            }
            c.*p.campo = *n;
        }
        lidos.push_back(std::move(c));
    }
    saida = std::move(lidos);
    return true;
}

std::string CaminhoChequesIni(const std::string& pasta) {
    return plataforma::ArquivoNaPasta(pasta, kArquivoCheques);
}

bool GravaChequesIni(const std::string& pasta, const std::vector<LayoutCheque>& layouts, QString& erro) {
    const std::string caminho = pasta + kArquivoCheques;
    if (!plataforma::SubstituiArquivo(caminho, TextoChequesIni(layouts).toStdString())) {
        erro = QStringLiteral("não foi possível gravar ") + QString::fromStdString(caminho);
        return false;
    }
    // Other spellings of the name would leave the library two files to choose from.
    for (const std::string& n : plataforma::OutrasGrafias(pasta, kArquivoCheques))
        std::remove((pasta + n).c_str());
    return true;
}

bool ImportaChequesIni(const std::string& pasta, std::vector<LayoutCheque>& saida, QString& erro) {
    QFile f(QString::fromStdString(CaminhoChequesIni(pasta)));
    if (!f.open(QIODevice::ReadOnly)) {
        erro = QStringLiteral("Arquivo cheques.ini não encontrado!");
        return false;
    }
    const QByteArray texto = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        erro = f.errorString();
        return false;
    }
    return LeChequesIni(texto, saida, erro);
}

}  // namespace belmora
