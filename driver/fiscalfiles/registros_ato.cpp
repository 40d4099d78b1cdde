#include "driver/fiscalfiles/registros_ato.h"

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

Bytes RegistroDoTipo(int t) {
    RegistrosAto& r = Registros();
    switch (t) {
        case kTipoE12: return BytesDe(r.E12);
        case kTipoE13: return BytesDe(r.E13);
        case kTipoE14: return BytesDe(r.E14);
        case kTipoE15: return BytesDe(r.E15);
        case kTipoE16: return BytesDe(r.E16);
        case kTipoE17: return BytesDe(r.E17);
        case kTipoE18: return BytesDe(r.E18);
        case kTipoE21: return BytesDe(r.E21);
        default: return {};
    }
}

void NormalizaTipo(int t) {
    RegistrosAto& r = Registros();
    switch (t) {
        case kTipoE12: NormalizaRegistro(r.E12); break;
        case kTipoE13: NormalizaRegistro(r.E13); break;
        case kTipoE14: NormalizaRegistro(r.E14); break;
        case kTipoE15: NormalizaRegistro(r.E15); break;
        case kTipoE16: NormalizaRegistro(r.E16); break;
        case kTipoE17: NormalizaRegistro(r.E17); break;
        case kTipoE18: NormalizaRegistro(r.E18); break;
        case kTipoE21: NormalizaRegistro(r.E21); break;
        default: break;
    }
}

// A numeric field as the rounding rule reads it: 0 when it is not a number.
std::int64_t Numero(const std::string& texto) { return ParaInteiro64(Apara(texto), 0); }

// Character of one part of the extension: 0-9, then A (10) to Z (35).
char CaracterExtensao(int v) { return static_cast<char>(v < 10 ? '0' + v : 'A' + (v - 10)); }

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

std::size_t TamanhoRegistroTemporario(int t) { return RegistroDoTipo(t).tamanho; }

void CriaDiretorioTemporarioRFD() {
    std::string pasta = DiretorioTemporarioRFD();
    if (plataforma::ExistePasta(pasta)) return;
    std::error_code ec;
    std::filesystem::create_directory(pasta, ec);
    if (!plataforma::ExistePasta(pasta)) throw ErroArquivoFiscal("Impossivel Criar" + pasta);
}

void ApagaRegistroTemporario(int t) { ApagaArquivo(ArquivoRegistroTemporario(t)); }

void ApagaRegistrosTemporarios() {
    for (int t = kTipoE12; t <= kTipoE21; ++t) ApagaRegistroTemporario(t);
}

void AjustaIndicadorArredondamento(RegistroE15& item) {
    std::int64_t unitario = Numero(item.ValorUnitario.Texto());
    std::int64_t quantidade = Numero(item.Quantidade.Texto());
    if (unitario >= 100000 || quantidade < 0 || quantidade >= 1000000) return;
    std::int64_t bruto =
        Numero(item.ValorTotalLiquido.Texto()) + Numero(item.Desconto.Texto()) - Numero(item.Acrescimo.Texto());
    std::int64_t divisor = item.DecimaisValorUnitario.Texto() == "3" ? 10000 : 1000;
    std::int64_t calculado = unitario * quantidade / divisor;
    if (bruto - calculado == 1 || calculado - bruto == 1) item.IndicadorArredondamento.Define("A");
}

void GravaRegistroTemporario(int t, int n) {
    CriaDiretorioTemporarioRFD();
    if (t == kTipoE15) AjustaIndicadorArredondamento(Registros().E15);
    Bytes registro = RegistroDoTipo(t);
    if (!registro.tamanho) return;
    if (n < 0) throw ErroArquivoFiscal("Registro invalido em " + ArquivoRegistroTemporario(t));
    NormalizaTipo(t);
    std::string nome = ArquivoRegistroTemporario(t);
    std::FILE* f = std::fopen(nome.c_str(), "r+b");
    if (!f) f = std::fopen(nome.c_str(), "w+b");
    if (!f) throw ErroArquivoFiscal("Erro ao gravar " + nome);
    long posicao = static_cast<long>(registro.tamanho) * n;
    bool ok = std::fseek(f, posicao, SEEK_SET) == 0 &&
              std::fwrite(registro.dados, 1, registro.tamanho, f) == registro.tamanho;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) throw ErroArquivoFiscal("Erro ao gravar " + nome);
}

int LeRegistroTemporario(int t, int n) {
    Bytes registro = RegistroDoTipo(t);
    std::string nome = ArquivoRegistroTemporario(t);
    if (!registro.tamanho || !plataforma::ExisteArquivo(nome)) return 0;
    std::FILE* f = std::fopen(nome.c_str(), "rb");
    if (!f) throw ErroArquivoFiscal("Erro ao ler " + nome);
    // Read aside first: a short read leaves the in-memory record as it was.
    std::string lido(registro.tamanho, '\0');
    long posicao = static_cast<long>(registro.tamanho) * n;
    bool ok = n >= 0 && std::fseek(f, posicao, SEEK_SET) == 0 &&
              std::fread(lido.data(), 1, lido.size(), f) == lido.size();
    std::fclose(f);
    if (!ok) throw ErroArquivoFiscal("Erro ao ler " + nome);
    std::copy(lido.begin(), lido.end(), static_cast<char*>(registro.dados));
    NormalizaTipo(t);
    return 1;
}

int ContaRegistrosTemporarios(int t) {
    Bytes registro = RegistroDoTipo(t);
    if (!registro.tamanho) return 0;
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

std::string NomeArquivoRFD(const std::string& fabricante, const std::string& modelo, const std::string& serie) {
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
