// libato17.so: our stand-in for the converter of memory dumps into ATO COTEPE 17/04 files.
// It reads the dump format of libleitura.so and writes its own lines; it shares no code with
// libtarvo.so, so that the library's RFD of the text and this file check each other.
// README.md beside this file gives the entry, the codes and every line.
#include <dirent.h>
#include <fcntl.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <signal.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "chave_teste.h"
#include "standin.h"

namespace {

using namespace standin;
constexpr int kArgumentoInvalido = 87;
constexpr int kErroLeitura = 16388;
constexpr std::size_t kMaiorRegistro = 1 << 20;

using Campos = std::vector<std::string>;

// --- texts ----------------------------------------------------------------------------------------

std::string Digitos(const std::string& t) {
    std::string r;
    for (char c : t)
        if (c >= '0' && c <= '9') r += c;
    return r;
}
// Numeric field: only the digits, right-aligned, zero-filled, the last digits when longer.
std::string N(const std::string& t, std::size_t w) {
    std::string d = Digitos(t);
    if (d.size() >= w) return d.substr(d.size() - w);
    return std::string(w - d.size(), '0') + d;
}
std::string N(std::int64_t v, std::size_t w) {
    return N(std::to_string(v < 0 ? -v : v), w);
}
// Text field: cut to the width, blank-filled on the right.
std::string X(const std::string& t, std::size_t w) {
    std::string r = t.substr(0, w);
    r.resize(w, ' ');
    return r;
}
std::string Trim(const std::string& t) {
    std::size_t a = 0, b = t.size();
    while (a < b && static_cast<unsigned char>(t[a]) <= ' ') ++a;
    while (b > a && static_cast<unsigned char>(t[b - 1]) <= ' ') --b;
    return t.substr(a, b - a);
}
std::int64_t Int(const std::string& t) {
    std::int64_t v = 0;
    bool neg = !t.empty() && t[0] == '-';
    int n = 0;
    for (char c : t)
        if (c >= '0' && c <= '9' && ++n <= 18) v = v * 10 + (c - '0');  // 18 digits never overflow
    return neg ? -v : v;
}
// "dd/mm/yyyy" -> "yyyymmdd".
std::string Aaaammdd(const std::string& d) {
    return d.size() >= 10 ? d.substr(6, 4) + d.substr(3, 2) + d.substr(0, 2) : N(d, 8);
}
std::string Hhmmss(const std::string& h) {
    return N(h, 6);
}
std::string Col(const std::string& l, std::size_t col, std::size_t n) {
    return col - 1 < l.size() ? l.substr(col - 1, n) : std::string();
}
bool Starts(const std::string& l, const char* p) {
    return l.rfind(p, 0) == 0;
}

// One record of the memories: fields split by tabs, escapes undone.
Campos Separa(const std::string& linha) {
    Campos c(1);
    for (std::size_t i = 0; i < linha.size(); ++i) {
        char ch = linha[i];
        if (ch == '\t') {
            c.emplace_back();
        } else if (ch == '\\' && i + 1 < linha.size()) {
            char e = linha[++i];
            c.back() += e == 't' ? '\t' : e == 'n' ? '\n' : e == 'r' ? '\r' : e;
        } else {
            c.back() += ch;
        }
    }
    return c;
}
const std::string& F(const Campos& c, std::size_t i) {
    static const std::string vazio;
    return i < c.size() ? c[i] : vazio;
}

// --- the dump ----------------------------------------------------------------------------------------

std::uint64_t U(const unsigned char* p, int n) {
    std::uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | p[i];
    return v;
}

// Lines of one memory of the dump, read in pieces so that memory stays small.
class Memoria {
  public:
    Memoria(std::ifstream& f, std::uint64_t inicio, std::uint64_t tamanho) : f_(f), resta_(tamanho) {
        f_.clear();
        f_.seekg(static_cast<std::streamoff>(inicio));
    }
    bool Linha(std::string& l) {
        l.clear();
        while (true) {
            std::size_t nl = buf_.find('\n', pos_);
            if (nl != std::string::npos) {
                l.append(buf_, pos_, nl - pos_);
                pos_ = nl + 1;
                return true;
            }
            l.append(buf_, pos_, std::string::npos);
            // No record of ours comes near this: a file that has one is no dump.
            if (l.size() > kMaiorRegistro) throw kErroBinarioInvalido;
            buf_.clear();
            pos_ = 0;
            if (resta_ == 0) return !l.empty();
            std::size_t n = static_cast<std::size_t>(resta_ < (1u << 16) ? resta_ : (1u << 16));
            buf_.resize(n);
            f_.read(buf_.data(), static_cast<std::streamsize>(n));
            if (static_cast<std::size_t>(f_.gcount()) != n) throw kErroLeitura;
            resta_ -= n;
        }
    }

  private:
    std::ifstream& f_;
    std::uint64_t resta_;
    std::string buf_;
    std::size_t pos_ = 0;
};

// --- what the fiscal memory holds ------------------------------------------------------------------------

struct Reducao {
    Campos c;  // the REDUCAO record
    int crz = 0, coo = 0;
    std::string movimento;                                  // yyyymmdd
    std::map<int, std::pair<char, std::string>> aliquotas;  // slot -> T/S, rate; with the slot's total
    std::map<int, std::int64_t> totais;
    bool selecionada = false;
};

struct Fiscal {
    Campos ecf;
    std::vector<Campos> usuarios, softwares;
    std::vector<Reducao> reducoes;
};

// --- the output: one scratch file per type, joined at the end --------------------------------------------

// The output is written under a temporary name beside it ("." name "." pid ".parcial"), synced,
// and renamed over the name, so a kill leaves the earlier file or the new one, never a part.
// Temporaries that a killed run left for the same name are removed first.
class Saida {
  public:
    explicit Saida(const char* nome) : nome_(nome) {
        const char* barra = std::strrchr(nome, '/');
        pasta_ = barra ? std::string(nome, static_cast<std::size_t>(barra - nome + 1)) : std::string("./");
        base_ = barra ? barra + 1 : nome;
        temporario_ = pasta_ + "." + base_ + "." + std::to_string(::getpid()) + ".parcial";
    }
    // Creates the temporary: false when the output cannot be created there.
    bool Cria() {
        RemoveOrfaos();
        fd_ = ::open(temporario_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
        return fd_ >= 0;
    }
    bool Abre() {
        for (auto& p : partes_) {
            p = std::tmpfile();
            if (!p) return false;
        }
        return true;
    }
    ~Saida() {
        for (auto* p : partes_)
            if (p) std::fclose(p);
        if (fd_ >= 0) {
            ::close(fd_);
            ::unlink(temporario_.c_str());
        }
    }
    // Types in file order: 0 E01, 1 E02, 2 E12, 3 E13, 4 E14, 5 E15, 6 E16, 7 E17, 8 E18, 9 E21.
    void Linha(int parte, const std::string& linha) {
        std::string l = linha + "\r\n";
        if (std::fwrite(l.data(), 1, l.size(), partes_[parte]) != l.size()) throw kErroEscritaArquivo;
    }
    // Where the next line of a part starts, and one character of a line written before.
    long Posicao(int parte) { return std::ftell(partes_[parte]); }
    void Corrige(int parte, long posicao, char c) {
        std::FILE* f = partes_[parte];
        long fim = std::ftell(f);
        if (fim < 0 || std::fseek(f, posicao, SEEK_SET) != 0 || std::fputc(c, f) == EOF ||
            std::fseek(f, fim, SEEK_SET) != 0)
            throw kErroEscritaArquivo;
    }
    // Joins the parts into the output file with the EAD line that closes it: the RSA signature
    // of the MD5 digest of every byte before it, under the test key.
    int Fecha() {
        std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> assinatura(EVP_MD_CTX_new(),
                                                                           &EVP_MD_CTX_free);
        std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> chave(ChaveTeste(), &EVP_PKEY_free);
        if (!assinatura || !chave) return 16392;
        bool ok = EVP_DigestSignInit(assinatura.get(), nullptr, EVP_md5(), nullptr, chave.get()) == 1;
        std::vector<char> buf(1 << 16);
        for (auto* p : partes_) {
            std::rewind(p);
            std::size_t n;
            while (ok && (n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
                ok = EVP_DigestSignUpdate(assinatura.get(), buf.data(), n) == 1 && EscreveTudo(buf.data(), n);
        }
        unsigned char bytes[256];
        std::size_t tamanho = sizeof bytes;
        ok = ok && EVP_DigestSignFinal(assinatura.get(), bytes, &tamanho) == 1 && tamanho == 128;
        std::string ead = "EAD";
        static const char kHex[] = "0123456789ABCDEF";
        for (std::size_t i = 0; ok && i < tamanho; ++i) {
            ead += kHex[bytes[i] >> 4];
            ead += kHex[bytes[i] & 15];
        }
        ead += "\r\n";
        ok = ok && EscreveTudo(ead.data(), ead.size()) && ::fsync(fd_) == 0;
        ok = ::close(fd_) == 0 && ok;
        fd_ = -1;
        ok = ok && ::rename(temporario_.c_str(), nome_) == 0;
        if (!ok) {
            ::unlink(temporario_.c_str());
            return kErroEscritaArquivo;
        }
        int pasta = ::open(pasta_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (pasta >= 0) {
            ::fsync(pasta);
            ::close(pasta);
        }
        return kOk;
    }

  private:
    static EVP_PKEY* ChaveTeste() {
        BIO* bio = BIO_new_mem_buf(kChaveTestePrivada, -1);
        if (!bio) return nullptr;
        EVP_PKEY* chave = PEM_read_bio_PrivateKey(bio, nullptr, nullptr, nullptr);
        BIO_free(bio);
        return chave;
    }
    bool EscreveTudo(const char* dados, std::size_t n) {
        while (n > 0) {
            ssize_t w = ::write(fd_, dados, n);
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) return false;
            dados += w;
            n -= static_cast<std::size_t>(w);
        }
        return true;
    }
    // Temporaries of this name whose process no longer runs.
    void RemoveOrfaos() {
        DIR* d = ::opendir(pasta_.c_str());
        if (!d) return;
        const std::string inicio = "." + base_ + ".", fim = ".parcial";
        while (dirent* e = ::readdir(d)) {
            const std::string n = e->d_name;
            if (n.size() <= inicio.size() + fim.size() || n.compare(0, inicio.size(), inicio) != 0 ||
                n.compare(n.size() - fim.size(), fim.size(), fim) != 0)
                continue;
            const std::string pid = n.substr(inicio.size(), n.size() - inicio.size() - fim.size());
            if (pid.empty() || pid.size() > 9 || pid.find_first_not_of("0123456789") != std::string::npos)
                continue;
            const pid_t p = static_cast<pid_t>(std::stol(pid));
            if (p != ::getpid() && ::kill(p, 0) != 0 && errno == ESRCH) ::unlinkat(::dirfd(d), e->d_name, 0);
        }
        ::closedir(d);
    }

    const char* nome_;
    std::string pasta_, base_, temporario_;
    int fd_ = -1;
    std::FILE* partes_[10] = {};
};

// --- the converter ------------------------------------------------------------------------------------

struct Pedido {
    char tipo = 'D';
    std::string inicio, fim;  // yyyymmdd for 'D'/'M'
    int crzInicio = 0, crzFim = 0;
    bool mf = true, mfd = true;
};

// A period text: "dd/mm/yyyy" or "yyyymmdd"; empty when it is neither.
std::string DataPeriodo(const std::string& t) {
    std::string s = Trim(t);
    if (s.size() == 10 && s[2] == '/' && s[5] == '/' && Digitos(s).size() == 8) return Aaaammdd(s);
    if (s.size() == 8 && Digitos(s) == s) return s;
    return {};
}

// The digits of the percentage a line prints before its "%" ("DESCONTO 10,00%" gives 1000);
// empty when it prints none.
std::string Percentual(const std::string& linha) {
    std::size_t p = linha.find('%');
    if (p == std::string::npos) return {};
    std::size_t i = p;
    while (i > 0 && linha[i - 1] != ' ') --i;
    return Digitos(linha.substr(i, p - i));
}

class Conversor {
  public:
    Conversor(const Pedido& p, const Fiscal& mf, Saida& s) : p_(p), mf_(mf), s_(s) {
        const Campos& e = mf.ecf;
        serie_ = Trim(F(e, 1));
        std::string usuario = mf.usuarios.empty() ? "1" : F(mf.usuarios.back(), 1);
        cabeca_ = X(serie_, 20) + " " + X(F(e, 4), 20);
        cabecaUsuario_ = cabeca_ + N(usuario, 2);
    }

    // Documents of the detail tape, one block at a time.
    void Documento(const std::vector<Campos>& bloco) {
        if (bloco.empty()) return;
        const Campos& doc = bloco.front();
        int coo = static_cast<int>(Int(F(doc, 1)));
        // The reduction that closes the document's day.
        while (z_ < mf_.reducoes.size() && mf_.reducoes[z_].coo < coo) ++z_;
        const Reducao* z = z_ < mf_.reducoes.size() ? &mf_.reducoes[z_] : nullptr;
        bool dentro = z ? z->selecionada : p_.tipo != 'C' && EmDatas(Aaaammdd(F(doc, 3)));
        if (!dentro) return;
        int tipo = static_cast<int>(Int(F(doc, 2)));
        std::vector<std::string> linhas;
        for (const Campos& r : bloco)
            if (F(r, 0) == "LINHA") linhas.push_back(F(r, 2));
        if (tipo == 3 || tipo == 5) return Cupom(bloco, linhas, z, tipo == 5);
        static const std::map<int, const char*> kDenominacao = {{1, "LX"}, {2, "RZ"}, {4, "CN"}, {6, "CN"},
                                                                {7, "MF"}, {8, "CC"}, {9, "CC"}, {15, "RG"}};
        auto d = kDenominacao.find(tipo);
        if (d == kDenominacao.end()) return;
        const bool reducao = tipo == 2 && z && z->coo == coo;
        if (reducao) TotaisDaReducao(linhas, z->crz);
        if (!p_.mfd) return;
        std::string grg, gnf, cdc;
        for (const std::string& l : linhas)
            if (Starts(l, "GRG:")) {
                grg = Col(l, 5, 6);
                std::size_t g = l.find("GNF:"), c = l.find("CDC:");
                if (g != std::string::npos) gnf = l.substr(g + 4, 6);
                if (c != std::string::npos) cdc = l.substr(c + 4, 4);
            }
        std::string crz = reducao ? std::to_string(z->crz) : "";
        s_.Linha(6, "E16" + cabecaUsuario_ + N(coo, 6) + N(gnf, 6) + N(grg, 6) + N(cdc, 4) + N(crz, 6) +
                        d->second + N(Aaaammdd(F(doc, 5)), 8) + Hhmmss(F(doc, 6)));
    }

    // The non-fiscal operations of a reduction (E13 "OPNF"), from its printed totals.
    std::int64_t OperacoesNaoFiscais(int crz) const {
        auto o = opnf_.find(crz);
        return o == opnf_.end() ? 0 : o->second;
    }

    bool EmDatas(const std::string& d) const { return !d.empty() && d >= p_.inicio && d <= p_.fim; }

  private:
    void Cupom(const std::vector<Campos>& bloco, const std::vector<std::string>& linhas, const Reducao* z,
               bool cancelado) {
        if (!p_.mfd) return;
        const Campos& doc = bloco.front();
        std::string coo = N(F(doc, 1), 6), ccf;
        for (const std::string& l : linhas)
            if (Col(l, 39, 4) == "COO:") {
                if (Col(l, 28, 4) == "CCF:") ccf = Col(l, 32, 6);
                break;
            }
        bool canceladoAberto = false;
        std::string percentualDesconto, percentualAcrescimo;  // digits of a printed percentage
        std::string cooCancelado;
        for (const std::string& l : linhas) {
            std::string t = Trim(l);
            canceladoAberto |= t == "CANCELAMENTO";
            if (Starts(l, "DESCONTO")) percentualDesconto = Percentual(l);
            if (Starts(l, "acr\x82scimo ") && !Starts(l, "acr\x82scimo item"))
                percentualAcrescimo = Percentual(l);
            if (Starts(t, "COO DO CUPOM CANCELADO:")) cooCancelado = Digitos(t);
        }
        if (cancelado && !cooCancelado.empty() && Int(cooCancelado) == ultimoCoo_ && ultimoE14_ >= 0) {
            // A receipt cancelled after its close is a cancelled receipt: its own E14 says so.
            s_.Corrige(4, ultimoE14_ + 122, 'S');
        }
        std::int64_t subtotal = 0, ajuste = 0;
        std::string nome, cpf;
        for (const Campos& r : bloco) {
            if (F(r, 0) == "ITEM" && Int(F(r, 13)) == 0)
                subtotal += Int(F(r, 8)) - Int(F(r, 10)) + Int(F(r, 11));
            if (F(r, 0) == "AJUSTE") ajuste = Int(F(r, 1));
            if (F(r, 0) == "CONSUMIDOR") {
                cpf = Digitos(F(r, 1));
                nome = F(r, 2);
            }
        }
        bool s = cancelado || canceladoAberto;
        if (cancelado) {
            // The cancelling document prints neither amounts nor the consumer of its own.
            subtotal = ajuste = 0;
            nome.clear();
            cpf.clear();
        }
        std::int64_t desconto = ajuste < 0 ? -ajuste : 0, acrescimo = ajuste > 0 ? ajuste : 0;
        std::string data = N(Aaaammdd(F(doc, 3)), 8);
        // Kind "P" holds the percentage (2 decimals), kind "V" the amount.
        const bool pDesconto = desconto && !percentualDesconto.empty(),
                   pAcrescimo = acrescimo && !percentualAcrescimo.empty();
        ultimoCoo_ = cancelado ? 0 : Int(coo);
        ultimoE14_ = cancelado ? -1 : s_.Posicao(4);
        s_.Linha(4, "E14" + cabecaUsuario_ + N(ccf, 6) + coo + data + N(subtotal, 14) +
                        (pDesconto ? N(percentualDesconto, 13) : N(desconto, 13)) +
                        (desconto ? (pDesconto ? "P" : "V") : " ") +
                        (pAcrescimo ? N(percentualAcrescimo, 13) : N(acrescimo, 13)) +
                        (acrescimo ? (pAcrescimo ? "P" : "V") : " ") +
                        N(subtotal - desconto + acrescimo, 14) + (s ? "S" : "N") + N(0, 13) +
                        (ajuste < 0   ? "D"
                         : ajuste > 0 ? "A"
                                      : " ") +
                        X(nome, 40) + N(cpf, 14));
        if (cancelado) return;
        for (const Campos& r : bloco) {
            if (F(r, 0) == "ITEM") Item(r, coo, ccf, z, s);
            if (F(r, 0) == "PAGAMENTO")
                s_.Linha(9, "E21" + cabecaUsuario_ + coo + N(ccf, 6) + N(0, 6) +
                                X(Trim(F(r, 2).substr(0, 15)), 15) + N(F(r, 3), 13) + "N" + N(0, 13));
        }
    }

    void Item(const Campos& r, const std::string& coo, const std::string& ccf, const Reducao* z,
              bool cupomCancelado) {
        std::string tributo = F(r, 9), codigo;
        if (tributo.size() >= 3 && std::isdigit(static_cast<unsigned char>(tributo[1])) &&
            std::isdigit(static_cast<unsigned char>(tributo[2]))) {
            int slot = std::stoi(tributo.substr(1, 2));
            std::string aliquota = "T0000";
            if (z) {
                auto a = z->aliquotas.find(slot);
                if (a != z->aliquotas.end())
                    aliquota = std::string(1, a->second.first) + N(a->second.second, 4);
            }
            codigo = tributo.substr(1, 2) + aliquota;
        } else {
            codigo = tributo.substr(0, 3);
        }
        std::int64_t q = Int(F(r, 4)), preco = Int(F(r, 6)), casas = Int(F(r, 7)), valor = Int(F(r, 8));
        std::int64_t divisor = casas >= 3 ? 1 : casas == 2 ? 10 : casas == 1 ? 100 : 1000;
        // Truncated when the value is the product cut to the cent, rounded otherwise.
        std::int64_t cortado = q * preco / 10000;
        bool cancelado = Int(F(r, 13)) != 0 && !cupomCancelado;
        std::string descricao = Trim(F(r, 3)).empty() ? "ERRO DESCRICAO" : F(r, 3);
        s_.Linha(5, "E15" + cabecaUsuario_ + coo + N(ccf, 6) + N(F(r, 1), 3) + X(F(r, 2), 14) +
                        X(descricao, 100) + N(q, 7) + X(F(r, 5), 3) + N(preco / divisor, 8) + N(F(r, 10), 8) +
                        N(F(r, 11), 8) + N(valor - Int(F(r, 10)) + Int(F(r, 11)), 14) + X(codigo, 7) +
                        (cancelado ? "S" : "N") + N(cancelado ? q : 0, 7) + N(cancelado ? valor : 0, 13) +
                        N(0, 13) + (valor == cortado ? "T" : "A") + "3" + N(casas, 1));
    }

    // E17 and E18 from the totals the reduction printed, and its non-fiscal total.
    void TotaisDaReducao(const std::vector<std::string>& linhas, int crz) {
        enum { Nada, NaoFiscais, Meios } secao = Nada;
        std::string cabeca = cabecaUsuario_ + N(crz, 6);
        for (const std::string& l : linhas) {
            if (l.find("TOTAL OPERA") != std::string::npos && l.find("FISCAIS:") != std::string::npos)
                opnf_[crz] = Int(Digitos(Col(l, 30, 40)));
            if (!p_.mfd) continue;
            if (l.find("TOTALIZADORES N\xC7O FISCAIS") != std::string::npos ||
                l.find("TOTALIZADORES N\xC3O FISCAIS") != std::string::npos) {
                secao = NaoFiscais;
            } else if (l.find("MEIOS DE PAGAMENTO") != std::string::npos) {
                secao = Meios;
            } else if (secao == NaoFiscais) {
                if (l.size() >= 10 && l.compare(l.size() - 10, 10, std::string(10, '-')) == 0)
                    secao = Nada;
                else if (l.size() > 2 && std::isdigit(static_cast<unsigned char>(l[0])) &&
                         std::isdigit(static_cast<unsigned char>(l[1])) && l[2] == ' ')
                    s_.Linha(7, "E17" + cabeca + X(Col(l, 4, 16), 15) + N(Col(l, 30, 40), 13));
            } else if (secao == Meios) {
                if (l.find("TROCO") != std::string::npos)
                    secao = Nada;
                else
                    s_.Linha(8, "E18" + cabeca + X(Col(l, 5, 16), 15) + N(Col(l, 24, 40), 13));
            }
        }
    }

    const Pedido& p_;
    const Fiscal& mf_;
    Saida& s_;
    std::string serie_, cabeca_, cabecaUsuario_;
    std::size_t z_ = 0;
    std::map<int, std::int64_t> opnf_;
    // The last receipt written, which a cancellation after its close may still cancel.
    std::int64_t ultimoCoo_ = 0;
    long ultimoE14_ = -1;
};

void LinhasMemoriaFiscal(const Pedido& p, const Fiscal& mf, Saida& s, const Conversor& conversor,
                         const std::string& usuarioNome, const std::string& endereco) {
    const Campos& e = mf.ecf;
    std::string serie = Trim(F(e, 1));
    const Reducao *primeira = nullptr, *ultima = nullptr;
    for (const Reducao& z : mf.reducoes)
        if (z.selecionada) {
            if (!primeira) primeira = &z;
            ultima = &z;
        }
    std::string cnpj = mf.usuarios.empty() ? "" : Digitos(F(mf.usuarios.back(), 2));
    const Campos* sb = mf.softwares.empty() ? nullptr : &mf.softwares.back();
    std::string inicio = p.tipo == 'C' ? (primeira ? primeira->movimento : "") : p.inicio;
    std::string fim = p.tipo == 'C' ? (ultima ? ultima->movimento : "") : p.fim;
    s.Linha(0, "E01" + X(serie, 20) + " " + X(F(e, 5), 7) + X(F(e, 3), 20) + X(F(e, 4), 20) + X(F(e, 6), 10) +
                   N(sb ? Aaaammdd(F(*sb, 2)) : "", 8) + N(sb ? F(*sb, 3) : "", 6) + N(F(e, 8), 3) +
                   N(cnpj, 14) + (p.mf ? "TDM" : "MFD") + N(primeira ? primeira->crz : 0, 6) +
                   N(ultima ? ultima->crz : 0, 6) + N(inicio, 8) + N(fim, 8) + "01.02.29" +
                   "AC1704 01.00.00");
    for (const Campos& u : mf.usuarios) {
        std::string ie;
        for (char c : Trim(F(u, 3)))
            if (c != '.' && c != '-' && c != '/') ie += c;
        s.Linha(1, "E02" + X(serie, 20) + " " + X(F(e, 4), 20) + N(F(u, 2), 14) + X(ie, 14) +
                       X(usuarioNome, 40) + X(endereco, 120) + N(Aaaammdd(F(u, 6)), 8) + Hhmmss(F(u, 7)) +
                       N(F(u, 5), 6) + N(F(u, 8), 18) + N(F(u, 1), 2));
    }
    if (!p.mf) return;
    if (ultima) {
        // The counters and the GT as the last reduction of the file left them.
        const Campos& z = ultima->c;
        s.Linha(1, "E11" + X(serie, 20) + " " + X(F(e, 4), 20) + N(ultima->crz, 6) + N(F(z, 3), 6) +
                       N(ultima->coo, 6) + N(F(z, 24), 6) + N(F(z, 23), 6) + N(0, 12) + N(F(z, 25), 6) +
                       N(0, 6) + N(0, 6) + N(F(z, 8), 18) + N(Aaaammdd(F(z, 6)), 8) + Hhmmss(F(z, 7)));
    }
    std::string cabeca = "E12" + X(serie, 20) + " " + X(F(e, 4), 20);
    std::string usuario = N(mf.usuarios.empty() ? "1" : F(mf.usuarios.back(), 1), 2);
    static const std::pair<const char*, int> kFixos[] = {
        {"Can-T", 11}, {"Can-S", 12}, {"DT", 13}, {"DS", 14},  {"AT", 15},  {"AS", 16},
        {"F1", 17},    {"I1", 18},    {"N1", 19}, {"FS1", 20}, {"IS1", 21}, {"NS1", 22}};
    for (const Reducao& z : mf.reducoes) {
        if (!z.selecionada) continue;
        bool iss = false;
        for (const auto& [slot, a] : z.aliquotas) iss |= a.first == 'S';
        s.Linha(2, cabeca + usuario + N(z.crz, 6) + N(z.coo, 6) + N(F(z.c, 3), 6) + N(z.movimento, 8) +
                       N(Aaaammdd(F(z.c, 6)), 8) + Hhmmss(F(z.c, 7)) + N(F(z.c, 10), 14) + (iss ? "S" : "N"));
        std::string e13 = "E13" + X(serie, 20) + " " + X(F(e, 4), 20) + usuario + N(z.crz, 6);
        for (const auto& [codigo, campo] : kFixos)
            s.Linha(3, e13 + X(codigo, 7) + N(F(z.c, static_cast<std::size_t>(campo)), 13));
        for (const auto& [slot, a] : z.aliquotas) {
            auto t = z.totais.find(slot);
            s.Linha(3,
                    e13 + N(slot, 2) + a.first + N(a.second, 4) + N(t == z.totais.end() ? 0 : t->second, 13));
        }
        s.Linha(3, e13 + X("OPNF", 7) + N(conversor.OperacoesNaoFiscais(z.crz), 13));
    }
}

int Converte(const char* dump, const char* saida, const Pedido& p) {
    std::ifstream f(dump, std::ios::binary);
    if (!f) return kErroLeitura;
    unsigned char h[64];
    if (!f.read(reinterpret_cast<char*>(h), sizeof h) || std::memcmp(h, "TARVOTDM", 8) != 0 ||
        U(h + 8, 4) != 1)
        return kErroBinarioInvalido;
    f.seekg(0, std::ios::end);
    auto tamanho = static_cast<std::uint64_t>(f.tellg());
    std::uint64_t mf = U(h + 40, 8), mfd = U(h + 48, 8);
    if (mf > tamanho || mfd > tamanho || 64 + mf + mfd > tamanho)
        return U(h + 12, 4) == 1 ? kErroBinarioInvalido : kErroArquivoIncompleto;
    if (U(h + 12, 4) != 1) return kErroArquivoIncompleto;

    Fiscal fiscal;
    {
        Memoria m(f, 64, mf);
        std::string l;
        while (m.Linha(l)) {
            Campos c = Separa(l);
            const std::string& t = F(c, 0);
            if (t == "ECF")
                fiscal.ecf = std::move(c);
            else if (t == "USUARIO")
                fiscal.usuarios.push_back(std::move(c));
            else if (t == "SOFTWARE")
                fiscal.softwares.push_back(std::move(c));
            else if (t == "REDUCAO") {
                Reducao z;
                z.crz = static_cast<int>(Int(F(c, 1)));
                z.coo = static_cast<int>(Int(F(c, 2)));
                z.movimento = Aaaammdd(F(c, 5));
                z.selecionada = p.tipo == 'C' ? z.crz >= p.crzInicio && z.crz <= p.crzFim
                                              : z.movimento >= p.inicio && z.movimento <= p.fim;
                z.c = std::move(c);
                fiscal.reducoes.push_back(std::move(z));
            } else if (t == "ALIQUOTA" && !fiscal.reducoes.empty()) {
                int slot = static_cast<int>(Int(F(c, 2)));
                fiscal.reducoes.back().aliquotas[slot] = {F(c, 3) == "S" ? 'S' : 'T', F(c, 4)};
                fiscal.reducoes.back().totais[slot] = Int(F(c, 5));
            }
        }
    }
    if (fiscal.ecf.empty()) return kErroBinarioInvalido;

    Saida s(saida);
    // The output must be creatable before any work is done.
    if (!s.Cria()) return kErroCriaArquivo;
    if (!s.Abre()) return kErroEscritaArquivo;
    Conversor conversor(p, fiscal, s);
    std::string nome, endereco;
    {
        Memoria m(f, 64 + mf, mfd);
        std::string l;
        std::vector<Campos> bloco;
        bool cabecalho = true;
        std::vector<std::string> cliche;
        while (m.Linha(l)) {
            Campos c = Separa(l);
            if (F(c, 0) == "DOC") bloco.clear();
            if (cabecalho && F(c, 0) == "LINHA") {
                // The user's name and address: the header lines of the first document.
                const std::string& t = F(c, 2);
                if (Starts(t, "CNPJ:") || Starts(t, "----------")) {
                    cabecalho = false;
                    if (!cliche.empty()) nome = Trim(cliche[0]);
                    for (std::size_t i = 1; i < cliche.size() && i <= 3; ++i) endereco += X(cliche[i], 48);
                } else if (!Trim(t).empty()) {
                    cliche.push_back(t);
                }
            }
            bool fim = F(c, 0) == "FIM";
            if (fim && cabecalho) {
                // A first document without its header's end line gives no name: the search
                // ends with it all the same, so memory does not grow with the tape.
                cabecalho = false;
                cliche.clear();
            }
            bloco.push_back(std::move(c));
            if (fim) {
                conversor.Documento(bloco);
                bloco.clear();
            }
        }
    }
    LinhasMemoriaFiscal(p, fiscal, s, conversor, nome, endereco);
    return s.Fecha();
}

}  // namespace

STANDIN_API int DLLATO17GeraArquivo(const char* arquivoBinario, const char* arquivoTexto,
                                    const char* periodoInicial, const char* periodoFinal, char tipoPeriodo,
                                    const char* usuario, const char* tipoLeitura) {
    (void)usuario;
    try {
        if (!arquivoBinario || !arquivoTexto || !*arquivoTexto)
            return arquivoTexto ? kErroCriaArquivo : kArgumentoInvalido;
        Pedido p;
        p.tipo = static_cast<char>(std::toupper(static_cast<unsigned char>(tipoPeriodo)));
        std::string inicio = periodoInicial ? periodoInicial : "", fim = periodoFinal ? periodoFinal : "";
        if (p.tipo == 'C') {
            if (Digitos(Trim(inicio)) != Trim(inicio) || Digitos(Trim(fim)) != Trim(fim) ||
                Trim(inicio).empty() || Trim(fim).empty() || Trim(inicio).size() > 9 || Trim(fim).size() > 9)
                return kArgumentoInvalido;
            p.crzInicio = static_cast<int>(Int(inicio));
            p.crzFim = static_cast<int>(Int(fim));
        } else if (p.tipo == 'D' || p.tipo == 'M') {
            p.inicio = DataPeriodo(inicio);
            p.fim = DataPeriodo(fim);
            if (p.inicio.empty() || p.fim.empty()) return kArgumentoInvalido;
        } else {
            return kArgumentoInvalido;
        }
        std::string leitura = tipoLeitura ? Trim(tipoLeitura) : "";
        for (char& c : leitura) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (leitura == "MF")
            p.mfd = false;
        else if (leitura == "MFD")
            p.mf = false;
        else if (leitura != "TDM")
            return kArgumentoInvalido;
        return Converte(arquivoBinario, arquivoTexto, p);
    } catch (int codigo) {
        return codigo;
    } catch (const std::bad_alloc&) {
        return 16392;
    } catch (...) {
        return kErroLeitura;
    }
}
