#include "driver/fiscalfiles/registros_ato.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "driver/core/formatadores.h"
#include "platform/pastas.h"

namespace tarvo {

namespace {

// The in-memory record of a store type: its bytes and its size (none for E19 and E20).
struct Bytes {
    void* dados = nullptr;
    std::size_t tamanho = 0;
};

template <class R>
Bytes BytesDe(R& r) {
    return {&r, sizeof(R)};
}

// Calls `f` with the in-memory record of a store type; nothing for a type without one (E19,
// E20 and unknown types).
template <class F>
void ComRegistroDoTipo(int t, F&& f) {
    RegistrosAto& r = Registros();
    switch (t) {
        case kTipoE12:
            f(r.E12);
            break;
        case kTipoE13:
            f(r.E13);
            break;
        case kTipoE14:
            f(r.E14);
            break;
        case kTipoE15:
            f(r.E15);
            break;
        case kTipoE16:
            f(r.E16);
            break;
        case kTipoE17:
            f(r.E17);
            break;
        case kTipoE18:
            f(r.E18);
            break;
        case kTipoE21:
            f(r.E21);
            break;
        default:
            break;
    }
}

Bytes RegistroDoTipo(int t) {
    Bytes bytes;
    ComRegistroDoTipo(t, [&](auto& registro) { bytes = BytesDe(registro); });
    return bytes;
}

void NormalizaTipo(int t) {
    ComRegistroDoTipo(t, [](auto& registro) { NormalizaRegistro(registro); });
}

// The store files that this process writes stay open, each with the number of records it
// holds. Emptying one sets that number to 0 and leaves the file to be written over; when it is
// closed (FechaRegistrosTemporarios, at the end of a conversion, or at exit) an empty file is
// removed and any other is cut to its records. A day of thousands of documents thus creates,
// cuts and removes no file per document, which a journalling file system makes slow. Every
// write is flushed at once, so the file always holds the records written.
class ArquivosAbertos {
  public:
    struct Aberto {
        std::FILE* f = nullptr;
        std::string nome;
        std::size_t registros = 0;
        std::size_t tamanho = 1;  // bytes of one record
    };

    ~ArquivosAbertos() {
        for (Aberto& a : abertos_) Encerra(a);
    }

    // The open file of type t, when it is the one the current scratch folder names.
    Aberto* Atual(int t) {
        Aberto& a = abertos_[static_cast<std::size_t>(t)];
        if (!a.f) return nullptr;
        if (a.nome == ArquivoRegistroTemporario(t)) return &a;
        Fecha(t);
        return nullptr;
    }

    Aberto& Abre(int t, std::size_t tamanho) {
        if (Aberto* a = Atual(t)) return *a;
        Aberto& a = abertos_[static_cast<std::size_t>(t)];
        CriaDiretorioTemporarioRFD();
        a.nome = ArquivoRegistroTemporario(t);
        a.f = std::fopen(a.nome.c_str(), "r+b");
        if (!a.f) a.f = std::fopen(a.nome.c_str(), "w+b");
        if (!a.f) throw ErroArquivoFiscal::AoGravar(a.nome);
        std::error_code ec;
        a.tamanho = tamanho;
        a.registros = static_cast<std::size_t>(std::filesystem::file_size(a.nome, ec) / tamanho);
        return a;
    }

    void Fecha(int t) {
        if (!Encerra(abertos_[static_cast<std::size_t>(t)]))
            throw ErroArquivoFiscal::AoGravar(abertos_[static_cast<std::size_t>(t)].nome);
    }

  private:
    // Closes a file: removed when it holds no record, else cut to its records. False when the
    // close failed.
    static bool Encerra(Aberto& a) {
        if (!a.f) return true;
        bool ok = std::fclose(a.f) == 0;
        a.f = nullptr;
        std::error_code ec;
        if (a.registros == 0) {
            std::filesystem::remove(a.nome, ec);
        } else if (std::filesystem::exists(a.nome, ec)) {
            std::filesystem::resize_file(a.nome, a.registros * a.tamanho, ec);
        }
        return ok;
    }

    std::array<Aberto, 12> abertos_;
};

ArquivosAbertos& Abertos() {
    static ArquivosAbertos abertos;
    return abertos;
}

// A numeric field as the rounding rule reads it: 0 when it is not a number.
std::int64_t Numero(const std::string& texto) {
    return ParaInteiro64(Apara(texto), 0);
}

// Character of one part of the extension: 0-9, then A (10) to Z (35).
char CaracterExtensao(int v) {
    return static_cast<char>(v < 10 ? '0' + v : 'A' + (v - 10));
}

}  // namespace

RegistrosAto& Registros() {
    static RegistrosAto registros;
    return registros;
}

void LimpaRegistrosDocumento() {
    RegistrosAto& r = Registros();
    r.E12 = {};
    r.E13 = {};
    r.E14 = {};
    r.E15 = {};
    r.E16 = {};
    r.E17 = {};
    r.E18 = {};
    r.E21 = {};
}

std::string ArquivoRegistroTemporario(int t) {
    return DiretorioTemporarioRFD() + "E" + std::to_string(10 + t) + ".DAT";
}

std::size_t TamanhoRegistroTemporario(int t) {
    return RegistroDoTipo(t).tamanho;
}

void CriaDiretorioTemporarioRFD() {
    std::string pasta = DiretorioTemporarioRFD();
    if (plataforma::ExistePasta(pasta)) return;
    std::error_code ec;
    std::filesystem::create_directory(pasta, ec);
    if (!plataforma::ExistePasta(pasta)) throw ErroArquivoFiscal("Impossivel Criar" + pasta);
}

void ApagaRegistroTemporario(int t) {
    if (t < 0 || t > kTipoE21) return;
    if (ArquivosAbertos::Aberto* a = Abertos().Atual(t)) {
        a->registros = 0;
        return;
    }
    ApagaArquivo(ArquivoRegistroTemporario(t));
}

void FechaRegistrosTemporarios() {
    for (int t = kTipoE12; t <= kTipoE21; ++t) Abertos().Fecha(t);
}

void ApagaRegistrosTemporarios() {
    for (int t = kTipoE12; t <= kTipoE21; ++t) ApagaRegistroTemporario(t);
}

void AjustaIndicadorArredondamento(RegistroE15& item) {
    std::int64_t unitario = Numero(item.ValorUnitario.Texto());
    std::int64_t quantidade = Numero(item.Quantidade.Texto());
    if (unitario >= 100000 || quantidade < 0 || quantidade >= 1000000) return;
    std::int64_t bruto = Numero(item.ValorTotalLiquido.Texto()) + Numero(item.Desconto.Texto()) -
                         Numero(item.Acrescimo.Texto());
    std::int64_t divisor = item.DecimaisValorUnitario.Texto() == "3" ? 10000 : 1000;
    std::int64_t calculado = unitario * quantidade / divisor;
    if (bruto - calculado == 1 || calculado - bruto == 1) item.IndicadorArredondamento.Define("A");
}

void GravaRegistroTemporario(int t, int n) {
    if (t == kTipoE15) AjustaIndicadorArredondamento(Registros().E15);
    Bytes registro = RegistroDoTipo(t);
    if (!registro.tamanho) return CriaDiretorioTemporarioRFD();
    if (n < 0) throw ErroArquivoFiscal("Registro invalido em " + ArquivoRegistroTemporario(t));
    NormalizaTipo(t);
    ArquivosAbertos::Aberto& a = Abertos().Abre(t, registro.tamanho);
    auto indice = static_cast<std::size_t>(n);
    bool ok = std::fseek(a.f, static_cast<long>(a.registros * registro.tamanho), SEEK_SET) == 0;
    // Records skipped over read as zeros, as in a file that was removed and written anew.
    const std::string zeros(registro.tamanho, '\0');
    for (std::size_t i = a.registros; ok && i < indice; ++i)
        ok = std::fwrite(zeros.data(), 1, zeros.size(), a.f) == zeros.size();
    ok = ok && std::fseek(a.f, static_cast<long>(indice * registro.tamanho), SEEK_SET) == 0 &&
         std::fwrite(registro.dados, 1, registro.tamanho, a.f) == registro.tamanho && std::fflush(a.f) == 0;
    if (!ok) throw ErroArquivoFiscal::AoGravar(a.nome);
    a.registros = std::max(a.registros, indice + 1);
}

namespace {
// Reads `n` records from record `primeiro` on: through the open file when this process writes
// it, else from the file by name; empty when there is nothing to read.
std::string LeBytes(int t, std::size_t tamanho, std::size_t primeiro, std::size_t n) {
    std::string bytes(n * tamanho, '\0');
    if (ArquivosAbertos::Aberto* a = Abertos().Atual(t)) {
        bool ok = std::fseek(a->f, static_cast<long>(primeiro * tamanho), SEEK_SET) == 0 &&
                  std::fread(bytes.data(), 1, bytes.size(), a->f) == bytes.size();
        if (!ok) throw ErroArquivoFiscal::AoLer(a->nome);
        return bytes;
    }
    std::string nome = ArquivoRegistroTemporario(t);
    std::FILE* f = std::fopen(nome.c_str(), "rb");
    if (!f) throw ErroArquivoFiscal::AoLer(nome);
    bool ok = std::fseek(f, static_cast<long>(primeiro * tamanho), SEEK_SET) == 0 &&
              std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    std::fclose(f);
    if (!ok) throw ErroArquivoFiscal::AoLer(nome);
    return bytes;
}
}  // namespace

int LeRegistroTemporario(int t, int n) {
    Bytes registro = RegistroDoTipo(t);
    // A missing or emptied file has no record: the in-memory record stays as it was.
    int registros = ContaRegistrosTemporarios(t);
    if (!registro.tamanho || registros == 0) return 0;
    if (n < 0 || n >= registros) throw ErroArquivoFiscal::AoLer(ArquivoRegistroTemporario(t));
    // Read aside first: a failed read leaves the in-memory record as it was.
    std::string lido = LeBytes(t, registro.tamanho, static_cast<std::size_t>(n), 1);
    std::copy(lido.begin(), lido.end(), static_cast<char*>(registro.dados));
    NormalizaTipo(t);
    return 1;
}

int PercorreRegistrosTemporarios(int t, const std::function<void()>& cada) {
    Bytes registro = RegistroDoTipo(t);
    auto n = static_cast<std::size_t>(ContaRegistrosTemporarios(t));
    if (!registro.tamanho || n == 0) return 0;
    std::string bytes = LeBytes(t, registro.tamanho, 0, n);
    for (std::size_t i = 0; i < n; ++i) {
        std::copy_n(bytes.data() + i * registro.tamanho, registro.tamanho,
                    static_cast<char*>(registro.dados));
        NormalizaTipo(t);
        cada();
    }
    return static_cast<int>(n);
}

int ContaRegistrosTemporarios(int t) {
    Bytes registro = RegistroDoTipo(t);
    if (!registro.tamanho) return 0;
    if (ArquivosAbertos::Aberto* a = Abertos().Atual(t)) return static_cast<int>(a->registros);
    std::error_code ec;
    auto bytes = std::filesystem::file_size(ArquivoRegistroTemporario(t), ec);
    if (ec) return 0;
    return static_cast<int>(bytes / registro.tamanho);
}

void CopiaCabecalhoECF(const CabecalhoECF& origem, CabecalhoECF& destino) {
    Campo<3> tipo = destino.Tipo;
    CopiaRegistroDocumento(origem, destino);
    destino.Tipo = tipo;
}

std::string NomeArquivoRFD(const std::string& fabricante, const std::string& modelo,
                           const std::string& serie) {
    if (serie.size() != 20 && serie.size() != 21) return {};
    return fabricante + modelo + serie.substr(15, 5);
}

std::string ExtensaoRFDData(const std::string& data) {
    bool valida = data.size() == 8 && EhNumerico(data);
    int ano = valida ? std::stoi(data.substr(0, 4)) - 2000 : -1;
    int mes = valida ? std::stoi(data.substr(4, 2)) : -1;
    int dia = valida ? std::stoi(data.substr(6, 2)) : -1;
    for (int v : {ano, mes, dia})
        if (v < 0 || v > 35) throw ErroArquivoFiscal("Data invalida para o nome do arquivo RFD: " + data);
    return std::string(".") + CaracterExtensao(dia) + CaracterExtensao(mes) + CaracterExtensao(ano);
}

}  // namespace tarvo
