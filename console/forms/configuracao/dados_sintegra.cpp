#include "console/forms/configuracao/dados_sintegra.h"

#include "platform/ini.h"

namespace belmora {

namespace {

const char* const kSecao = "Sintegra";
const char* const kFlag60D = "Flag60D";
const char* const kFlag60I = "Flag60I";
const char* const kFlag60R = "Flag60R";

// Blanks and control characters around the value go, as the console trims what it reads.
std::string Apara(const std::string& texto) {
    std::size_t inicio = 0, fim = texto.size();
    while (inicio < fim && static_cast<unsigned char>(texto[inicio]) <= ' ') ++inicio;
    while (fim > inicio && static_cast<unsigned char>(texto[fim - 1]) <= ' ') --fim;
    return texto.substr(inicio, fim - inicio);
}

// One byte per character in Windows-1252: the cut is by bytes.
std::string Corta(const std::string& texto, int tamanho) {
    return Apara(texto).substr(0, tamanho);
}

}  // namespace

const std::array<CampoSintegra, 10>& CamposSintegra() {
    static const std::array<CampoSintegra, 10> campos{{
        {"RazaoSocial", "Razão Social:", "edtRazaoSocial", 35, &DadosSintegra::razaoSocial},
        {"Endereco", "Endereço:", "edtEndereco", 34, &DadosSintegra::endereco},
        {"Numero", "Número:", "edtNumero", 5, &DadosSintegra::numero},
        {"Complemento", "Complemento:", "edtComplemento", 22, &DadosSintegra::complemento},
        {"Bairro", "Bairro:", "edtBairro", 15, &DadosSintegra::bairro},
        {"Cidade", "Cidade:", "edtCidade", 30, &DadosSintegra::cidade},
        {"CEP", "Cep:", "edtCep", 8, &DadosSintegra::cep},
        {"Telefone", "Telefone:", "edtTelefone", 12, &DadosSintegra::telefone},
        {"FAX", "Fax:", "edtFax", 10, &DadosSintegra::fax},
        {"Contato", "Contato:", "edtContato", 18, &DadosSintegra::contato},
    }};
    return campos;
}

DadosSintegra LeDadosSintegra(const std::string& arquivo) {
    const plataforma::ArquivoIni ini(arquivo);
    DadosSintegra d;
    for (const CampoSintegra& c : CamposSintegra()) d.*c.valor = Corta(ini.Le(kSecao, c.chave), c.tamanho);
    d.uf = Corta(ini.Le("ECF", "UF"), kTamanhoUF);
    auto flag = [&](const char* chave) { return Apara(ini.Le(kSecao, chave)).rfind('1', 0) == 0; };
    d.flag60D = flag(kFlag60D);
    d.flag60I = flag(kFlag60I);
    d.flag60R = flag(kFlag60R);
    return d;
}

bool GravaDadosSintegra(const std::string& arquivo, const DadosSintegra& d, std::string& erro) {
    plataforma::ArquivoIni ini(arquivo);
    for (const CampoSintegra& c : CamposSintegra()) ini.Grava(kSecao, c.chave, d.*c.valor);
    ini.Grava(kSecao, kFlag60I, d.flag60I ? "1" : "");
    ini.Grava(kSecao, kFlag60D, d.flag60D ? "1" : "");
    ini.Grava(kSecao, kFlag60R, d.flag60R ? "1" : "");
    ini.Grava("ECF", "UF", d.uf);
    if (!ini.Salva()) {
        erro = "Não foi possível gravar " + arquivo + ": " + plataforma::ArquivoIni::UltimaFalha();
        return false;
    }
    return true;
}

int FlagsSintegra(const DadosSintegra& d) {
    return (d.flag60D ? 4 : 0) + (d.flag60I ? 8 : 0) + (d.flag60R ? 16 : 0);
}

std::string ArquivoSintegra(const std::string& arquivo) {
    return plataforma::ArquivoIni::LeChave(arquivo, "Sistema", "Path", "c:\\") + "\\Sintegra.txt";
}

}  // namespace belmora
