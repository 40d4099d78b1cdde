#include "driver/fiscalfiles/rfd_conversao.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>

#include "driver/core/configuracao.h"
#include "driver/core/erros.h"
#include "driver/core/estado.h"
#include "driver/core/formatadores.h"
#include "driver/core/registro.h"
#include "driver/fiscalfiles/leiaute_ato.h"
#include "driver/fiscalfiles/registros_ato.h"
#include "driver/fiscalfiles/rfd_texto.h"
#include "driver/protocols/familia0/f0_captura.h"
#include "driver/protocols/familia0/f0_leituras.h"
#include "driver/protocols/familia0/parametros.h"
#include "platform/arquivo.h"
#include "platform/ini.h"
#include "platform/pastas.h"

namespace fs = std::filesystem;

namespace tarvo {

namespace {

std::mutex conversao;

std::string Rfdtemp(const std::string& nome) {
    return DiretorioTemporarioRFD() + nome;
}
std::string Quatro(const std::string& n) {
    return PreencheZerosEsquerda(n, 4);
}

std::string Ddmmaaaa(const std::string& aaaammdd) {
    return aaaammdd.size() == 8
               ? aaaammdd.substr(6, 2) + "/" + aaaammdd.substr(4, 2) + "/" + aaaammdd.substr(0, 4)
               : aaaammdd;
}

std::string HoraAtual() {
    std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    localtime_r(&t, &tm);
    char texto[8];
    std::strftime(texto, sizeof texto, "%H%M%S", &tm);
    return texto;
}

void Anexa(const std::string& arquivo, const std::string& linha) {
    if (!GravaLinhaArquivo(arquivo, linha)) throw ErroArquivoFiscal("Erro ao gravar " + arquivo);
}

}  // namespace

void LinhasMemoriaFiscal(const std::vector<std::string>& linhas, const std::string& rfdDat) {
    RegistroE02& e02 = Registros().E02;
    auto grava = [&](LeiauteLinha leiaute, std::vector<std::string> proprios) {
        std::vector<std::string> valores = {"", e02.NumeroSerie.Texto(), e02.MFAdicional.Texto(),
                                            e02.Modelo.Texto()};
        valores.insert(valores.end(), proprios.begin(), proprios.end());
        Anexa(rfdDat, MontaLinha(leiaute, valores));
    };
    auto data = [](const std::string& texto) { return DataParaAAAAMMDD(SomenteNumeros(texto)); };
    enum class Secao { Nenhuma, Usuarios, Codificacao, Software, Reinicio, Fita } secao = Secao::Nenhuma;
    for (const std::string& linha : linhas) {
        if (Contem(linha, "MOEDA:")) {
            grava(kLinhaE06, {PalavraDaDireita(linha, 1)});
            secao = Secao::Nenhuma;  // the basic-software list ends here
        } else if (ComecaCom(linha, "MFD:")) {
            grava(kLinhaE08, {PrimeiraPalavra(linha.substr(4)), data(PalavraDaDireita(linha, 1))});
        } else if (Contem(linha,
                          "REDU\xC7\xD5"
                          "ES DI\xC1RIAS")) {
            Anexa(rfdDat, MontaLinhaE02(e02));
            secao = Secao::Nenhuma;
        } else if (Contem(linha, "USU\xC1RIOS")) {
            secao = Secao::Usuarios;
        } else if (Contem(linha, "CODIFICA\xC7\xC3O GT:")) {
            secao = Secao::Codificacao;
        } else if (Contem(linha, "SOFTWARE B\xC1SICO:")) {
            secao = Secao::Software;
        } else if (Contem(linha, "REINICIO  OPERA\xC7\xC3O")) {
            secao = Secao::Reinicio;
        } else if (Contem(linha, "IMPRESS\xC3O FITA DETALHE")) {
            secao = Secao::Fita;
        } else if (ComecaCom(linha, std::string(10, '-'))) {
            secao = Secao::Nenhuma;
        } else if (secao == Secao::Usuarios) {
            if (ComecaCom(linha, "Usuario:")) {
                e02.NumeroUsuario.Define(TrechoLinha(linha, 9, 2));
                e02.CRO.Define(TrechoLinha(linha, 17, 3));
                e02.DataCadastro.Define(data(TrechoLinha(linha, 22, 10)));
                e02.HoraCadastro.Define(SomenteNumeros(TrechoLinha(linha, 34, 8)));
            } else if (Contem(linha, "CNPJ:")) {
                e02.CNPJUsuario.Define(SomenteNumeros(linha.substr(linha.find("CNPJ:") + 5)));
            } else if (Contem(linha, "IE:")) {
                // The registration without its punctuation fits its 14 characters.
                std::string ie;
                for (char c : Apara(linha.substr(linha.find("IE:") + 3)))
                    if (c != '.' && c != '-' && c != '/') ie += c;
                e02.IEUsuario.Define(ie);
            } else if (Contem(linha, "GT:")) {
                // Only the user's own grand total: "CODIFICAÇÃO GT:" lies outside this section.
                e02.GT.Define(SomenteNumeros(linha.substr(linha.find("GT:") + 3)));
            }
        } else if (secao == Secao::Codificacao) {
            std::size_t igual = linha.find('='), desde = linha.find("a partir de");
            if (igual != std::string::npos && desde != std::string::npos && desde > igual)
                grava(kLinhaE05,
                      {Apara(linha.substr(igual + 1, desde - igual - 1)), data(linha.substr(desde))});
        } else if (secao == Secao::Software) {
            if (!Apara(linha).empty())
                grava(kLinhaE07, {PrimeiraPalavra(Apara(linha)), data(TrechoLinha(linha, 10, 10)),
                                  SomenteNumeros(TrechoLinha(linha, 23, 8))});
        } else if (secao == Secao::Reinicio) {
            std::string l = Apara(linha);
            if (ComecaCom(l, "CRO:"))
                grava(kLinhaE09, {SomenteNumeros(PrimeiraPalavra(l)), data(PalavraDaDireita(l, 2)),
                                  SomenteNumeros(PalavraDaDireita(l, 1))});
        } else if (secao == Secao::Fita) {
            std::size_t d = linha.find("DATA"), c = linha.find("CNPJ:");
            if (d != std::string::npos && c != std::string::npos && c > d)
                grava(kLinhaE10, {data(linha.substr(d, c - d)), SomenteNumeros(linha.substr(c + 5))});
        }
    }
}

namespace {

std::string LinhaE00(const CabecalhoECF& cabecalho, const IdentificacaoEcfRfd& id) {
    RegistroE00 e00;
    auto le = [](const char* chave) { return LeChaveIni("SoftwareHouse", chave, ""); };
    e00.NumeroSerie = cabecalho.NumeroSerie;
    e00.MFAdicional = cabecalho.MFAdicional;
    e00.NumeroUsuario = cabecalho.NumeroUsuario;
    e00.TipoECF.Define(id.TipoECF);
    e00.Marca.Define(id.Marca);
    e00.Modelo.Define(id.Modelo);
    e00.COO.Define(le("COO"));
    e00.NumeroAplicativo.Define(le("NumeroAplicativo"));
    e00.CNPJDesenvolvedor.Define(SomenteNumeros(le("CNPJ")));
    e00.IEDesenvolvedor.Define(SomenteNumeros(le("IE")));
    e00.IMDesenvolvedor.Define(SomenteNumeros(le("IM")));
    e00.NomeDesenvolvedor.Define(le("RazaoSocial"));
    e00.NomeAplicativo.Define(le("NomeAplicativo"));
    e00.VersaoAplicativo.Define(le("Versao"));
    e00.PrimeiraLinha.Define(le("Linha1"));
    e00.SegundaLinha.Define(le("Linha2"));
    return MontaLinhaE00(e00);
}

std::string LinhaE01(const CabecalhoECF& cabecalho, const IdentificacaoEcfRfd& id, const std::string& reducao,
                     bool tdm) {
    RegistrosAto& r = Registros();
    RegistroE01& e01 = r.E01;
    e01.NumeroSerie = cabecalho.NumeroSerie;
    e01.MFAdicional = cabecalho.MFAdicional;
    e01.TipoECF.Define(id.TipoECF);
    e01.Marca.Define(id.Marca);
    e01.Modelo.Define(id.Modelo);
    e01.CNPJUsuario = r.E02.CNPJUsuario;
    e01.ComandoGeracao.Define(tdm ? "TDM" : "MFD");
    e01.CRZInicial.Define(reducao);
    e01.CRZFinal.Define(reducao);
    e01.DataInicial.Define(r.DataMovimento);
    e01.DataFinal.Define(r.DataMovimento);
    return MontaLinhaE01(e01);
}

// An integer register read by name: the command's result and, on success, the value.
struct Leitura {
    int status = 1;
    std::string valor;
};
Leitura LeInteiroNomeado(const std::string& nome) {
    int r = EnviaComandoTxt("LeInteiro", "NomeInteiro=" + Aspas(nome));
    return {r, r == 1 ? Resposta().ValorResposta : std::string()};
}

}  // namespace

PeriodoSintegra& PeriodoBuscaSintegra() {
    static PeriodoSintegra periodo;
    return periodo;
}

std::vector<std::string> LinhasArquivo(const std::string& nome) {
    return LinhasDoTexto(LeArquivo(nome));
}

int LeRegistroE11(std::string& linha, const std::string& reducao) {
    linha.clear();
    std::string nome =
        plataforma::ArquivoNaPasta(DiretorioTemporarioRFD(), "E11_" + Quatro(reducao) + ".TXT");
    if (!plataforma::ExisteArquivo(nome)) return 1;
    std::vector<std::string> linhas = LinhasArquivo(nome);
    std::string l = linhas.empty() ? std::string() : linhas[0];
    // A short line is completed with zeros: its counters are read where they stand, never past its end.
    if (l.size() < 74) l += std::string(74 - l.size(), '0');
    auto c = [&l](std::size_t de, std::size_t ate) { return l.substr(de - 1, ate - de + 1); };
    linha = c(1, 30) + "000000000000" + c(31, 36) + "000000" + c(37, 60) + c(65, 68) + c(63, 64) + c(61, 62) +
            c(69, 74);
    return 1;
}

int MontaContadoresEcf(std::string& texto) {
    texto.clear();
    auto registrador = [&texto](int numero, int largura) {
        std::string valor;
        int r = LeRegistradorTxt(numero, valor);
        if (r == 1) texto += PreencheZerosEsquerda(valor, largura);
        return r;
    };
    for (int numero : {9, 10, 6, 7, 55})
        if (int r = registrador(numero, 6); r != 1) return r;
    texto += "000000000000";
    if (int r = registrador(54, 6); r != 1) return r;
    texto += "000000";
    if (int r = registrador(56, 6); r != 1) return r;
    if (int r = registrador(3, 18); r != 1) return r;
    if (int r = EnviaComandoTxt("LeData", "NomeData=\"Data\""); r != 1) return r;
    texto += DataParaAAAAMMDD(SomenteNumeros(Resposta().ValorResposta));
    if (int r = EnviaComandoTxt("LeHora", "NomeHora=\"Hora\""); r != 1) return r;
    texto += PreencheZerosEsquerda(Resposta().ValorResposta, 6);
    return 1;
}

std::vector<std::string> OrdenaLinhasRfd(std::vector<std::string> novas,
                                         const std::vector<std::string>& antigas, bool tdm) {
    // An older line joins only when no new line equals it: equal lines of the new movement
    // (two equal payments) are genuine records and all stay.
    if (!antigas.empty()) {
        std::set<std::string> existentes(novas.begin(), novas.end());
        for (const std::string& linha : antigas)
            if (TipoLinha(linha) > 11 && !existentes.count(linha)) novas.push_back(linha);
    }
    if (!tdm) {
        std::erase_if(novas, [](const std::string& linha) {
            int t = TipoLinha(linha);
            return t < 0 || (t >= 3 && t <= 11);
        });
    }
    // Ignoring case: each line's upper-case form made once, not at every comparison.
    std::vector<std::pair<std::string, std::size_t>> chaves;
    chaves.reserve(novas.size());
    for (std::size_t i = 0; i < novas.size(); ++i) chaves.emplace_back(MaiusculasAnsi(novas[i]), i);
    std::stable_sort(chaves.begin(), chaves.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> ordenadas;
    ordenadas.reserve(novas.size());
    for (const auto& c : chaves) ordenadas.push_back(std::move(novas[c.second]));
    return ordenadas;
}

int RFD_ConvertedaMFDTexto(const std::string& reducao) {
    std::lock_guard<std::mutex> trava(conversao);
    GravaLog("Executando RFD_ConvertedaMFDTexto");
    const Configuracao& config = Config();
    const EstadoDriver& estado = Estado();
    Registros() = {};
    IdentificacaoEcfRfd id;
    id.CodigoFabricante = kFabricantePadrao;
    CriaDiretorioTemporarioRFD();

    // Stage 0: the reduction's rate table, first COO and text.
    std::array<std::string, 16> aliquotas;
    aliquotas.fill("T0000");
    std::string primeiroCoo;
    int status = 1;
    bool permiteIss = true;
    const std::string detalhe = Rfdtemp("DETALHE.TXT");
    if (estado.ArmazenamentoRFD) {
        std::vector<std::string> alq = LinhasArquivo(Rfdtemp("ALQ_" + Quatro(reducao) + ".TXT"));
        if (!alq.empty())
            for (std::size_t i = 0; i < 16 && 5 * i + 5 <= alq[0].size(); ++i)
                aliquotas[i] = alq[0].substr(5 * i, 5);
    } else if (config.Debugger) {
        primeiroCoo = "700";
        const char* fixas[] = {"T0700", "T1200", "T1800", "T2500", "S0203", "T0800", "T1320",
                               "T2600", "T0012", "T9999", "T8000", "T6000", "T4000", "T2000"};
        for (std::size_t i = 0; i < std::size(fixas); ++i) aliquotas[i + 1] = fixas[i];
        GravaLog("Modo Debug1 iCountAliq=(" + std::to_string(std::size(fixas)) +
                 ")- Nao deve ser usado em producao");
    } else {
        Leitura ultimo = LeInteiroNomeado("COOReducao[" + reducao + "]");
        if (ultimo.status != 1) return ultimo.status;
        int n = ParaInteiro(reducao, 0);
        // The first reduction starts at COO 1: the day's first document may be a sale, and
        // starting at 2 would leave it out of the file.
        Leitura base{1, "0"};
        if (n > 1) base = LeInteiroNomeado("COOReducao[" + std::to_string(n - 1) + "]");
        if (base.status != 1) return base.status;
        primeiroCoo = std::to_string(ParaInteiro(base.valor, 0) + 1);
        status = LeituraFitaDetalheTxt(Rfdtemp("DETORG.TXT"), "2", primeiroCoo, ultimo.valor, "");
        if (status != 1) return status;
        for (int i = 0; i < 16 && status == 1; ++i) {
            std::string ii = PreencheZerosEsquerda(std::to_string(i), 2);
            status = EnviaComandoTxt(
                "LeIndicador", "NomeIndicador=" + Aspas("Aliquota" + ii + "ICMSReducao[" + reducao + "]"));
            if (status != 1) break;
            std::string tipo = Resposta().ValorResposta == "11" ? "T" : "S";
            status = EnviaComandoTxt(
                "LeMoeda", "NomeDadoMonetario=" + Aspas("Aliquota" + ii + "Reducao[" + reducao + "]"));
            if (status == 1)
                aliquotas[static_cast<std::size_t>(i)] =
                    tipo + ParteDireita(PreencheZerosEsquerda(Resposta().ValorResposta, 4), 4);
        }
        if (status != 1) return status;
        ConverteImpressao(Rfdtemp("DETORG.TXT"), FormatoConversao::Texto, detalhe);
        CopiaArquivo(detalhe, Rfdtemp("DET_" + reducao + ".TXT"), false);
        status = EnviaComandoTxt("LeInteiro", "NomeInteiro=\"PermiteISS\"");
        permiteIss = status == 1 && ComecaCom(Resposta().DadosResposta, "ValorInteiro=15");
        status = 1;
    }

    // Stage 1: the head of the text.
    std::vector<std::string> linhas = LinhasArquivo(detalhe);
    ConversorDetalhe conversor(id, estado.ArmazenamentoRFD);
    ResultadoCabecalho cabecalho = conversor.LeCabecalho(linhas);
    RegistrosAto& r = Registros();
    r.DataMovimento = cabecalho.DataMovimento;
    const PeriodoSintegra& periodo = PeriodoBuscaSintegra();
    if (!periodo.inicio.empty() && !periodo.fim.empty() && !r.DataMovimento.empty() &&
        !DataNoIntervalo(Ddmmaaaa(r.DataMovimento), periodo.inicio, periodo.fim)) {
        GravaLog(
            "RFD_ConvertedaMFDTexto: Data do movimento fora do per\xEDodo de busca do Sintegra.  Data: " +
            cabecalho.DataMovimentoImpressa);
        return 1;
    }
    if (r.E02.NomeUsuario.Texto().empty() || r.E02.Endereco.Texto().empty()) {
        // The user's name and address as an X reading prints them.
        std::string impressao = plataforma::ArquivoNaPasta(config.Path, "IMPRESSAO.TXT");
        ApagaArquivo(impressao);
        if (EnviaComandoTxt("EmiteLeituraX", "Destino=\"S\"") == 1 && CapturaEConverte(impressao) == 1) {
            std::string nome, endereco;
            if (UsuarioDoTexto(LinhasArquivo(impressao), nome, endereco)) {
                r.E02.NomeUsuario.Define(nome);
                r.E02.Endereco.Define(endereco);
            }
        }
        ApagaArquivo(impressao);
    }
    if (primeiroCoo.empty()) {
        // Without the printer the day's first COO is that of the first document of the text.
        for (const std::string& linha : linhas)
            if (TrechoLinha(linha, 39, 4) == "COO:") {
                primeiroCoo = TrechoLinha(linha, 43, 6);
                break;
            }
    }

    // Stage 2: the documents.
    conversor.LeDocumentos(linhas, aliquotas, permiteIss, primeiroCoo);
    FechaRegistrosTemporarios();

    // Stage 3: the day files of the documents into RFD.DAT.
    const std::string extensao = ExtensaoRFDData(r.DataMovimento);
    const std::string rfdDat = Rfdtemp("RFD.DAT");
    GravaLog("***(CMD1)  Consolidando RFD.DAT ***" + Rfdtemp("RFD*" + extensao));
    ApagaArquivo(rfdDat);
    if (!GravaArquivo(rfdDat, "")) throw ErroArquivoFiscal("Erro ao gravar " + rfdDat);
    std::vector<std::string> dias;
    std::error_code ec;
    for (const auto& entrada : fs::directory_iterator(DiretorioTemporarioRFD(), ec)) {
        std::string nome = entrada.path().filename().string();
        if (ComecaCom(nome, "RFD") && nome.size() > extensao.size() &&
            nome.compare(nome.size() - extensao.size(), extensao.size(), extensao) == 0)
            dias.push_back(nome);
    }
    std::sort(dias.begin(), dias.end());
    for (const std::string& nome : dias) {
        GravaLog("***(CMD1A):Lendo " + Rfdtemp(nome) + " ***");
        if (!AnexaTextoArquivo(rfdDat, LeArquivo(Rfdtemp(nome))))
            throw ErroArquivoFiscal("Erro ao gravar " + rfdDat);
        ApagaArquivo(Rfdtemp(nome));
    }
    GravaLog("***(CMD2)  FIM PROCESSAMENTO LEITURA DE MFD ***");

    // Stage 4: the fiscal memory, the counters, E00 and E01.
    const std::string leitmf = Rfdtemp("LEITMF.TXT");
    if (config.Debugger) {
        GravaLog("Modo Debug2 - Nao deve ser usado em producao");
    } else if (!estado.ArmazenamentoRFD && (estado.EmiteLMF_RFD || !plataforma::ExisteArquivo(leitmf))) {
        int rr = EnviaComandoTxt("EmiteLeituraMF", "Destino=\"S\" LeituraSimplificada=false ReducaoInicial=" +
                                                       reducao + " ReducaoFinal=" + reducao);
        if (rr != 1) return rr;
        status = CapturaEConverte(leitmf);
    }
    CabecalhoECF identidade = conversor.Cabecalho();
    if (estado.FlagTDM && !config.Debugger) {
        GravaLog("***(CMD3)  Gerando E11 ***");
        std::string contadores;
        int rr =
            estado.ArmazenamentoRFD ? LeRegistroE11(contadores, reducao) : MontaContadoresEcf(contadores);
        if (rr != 1) return rr;
        if (!contadores.empty())
            Anexa(rfdDat, "E11" + PreencheEspacosDireita(identidade.NumeroSerie.Texto(), 20) +
                              PreencheEspacosDireita(identidade.MFAdicional.Texto(), 1) +
                              PreencheEspacosDireita(identidade.Modelo.Texto(), 20) + contadores);
    }
    r.E02.NumeroSerie = identidade.NumeroSerie;
    r.E02.MFAdicional = identidade.MFAdicional;
    r.E02.Modelo = identidade.Modelo;
    LinhasMemoriaFiscal(LinhasArquivo(leitmf), rfdDat);
    std::string sbData, sbHora;
    DataHoraSoftwareBasicoNoTexto(LeArquivo(leitmf), sbData, sbHora);
    if (!sbData.empty())
        r.E01.DataInstalacaoSB.Define("20" + sbData.substr(4, 2) + sbData.substr(2, 2) + sbData.substr(0, 2));
    if (!sbHora.empty()) r.E01.HoraInstalacaoSB.Define(sbHora);
    Anexa(rfdDat, LinhaE00(identidade, id));
    Anexa(rfdDat, LinhaE01(identidade, id, reducao, estado.FlagTDM));

    // Stage 5: sorted into the output, copied to PathRFD.
    GravaLog("***(CMD4)  Antes Ordenacao ***");
    std::string serie = Apara(identidade.NumeroSerie.Texto());
    std::string saida;
    if (!estado.FlagTDM)
        saida = serie + "_" + r.DataMovimento + "_" + HoraAtual() + ".TXT";
    else if (config.UF != "SE")
        saida = id.CodigoFabricante + ParteDireita(serie, 6) + extensao;
    else
        saida = NomeArquivoRFD(id.CodigoFabricante, id.LetraModelo, serie) + extensao;
    const std::string arquivoSaida = Rfdtemp(saida);
    std::vector<std::string> ordenadas =
        OrdenaLinhasRfd(LinhasArquivo(rfdDat), LinhasArquivo(arquivoSaida), estado.FlagTDM);
    {
        plataforma::SaidaSegura f(arquivoSaida);
        for (const std::string& linha : ordenadas) f.Escreve(linha + "\r\n");
        if (!f.Conclui()) throw ErroArquivoFiscal("Erro ao gravar " + arquivoSaida);
    }
    ApagaArquivo(rfdDat);
    // PathRFD never holds half a file, and an earlier one stays until this one is whole.
    if (!plataforma::CopiaArquivoSeguro(arquivoSaida, config.PathRFD + saida)) {
        DefineErro(Falha::CopiaRfd, config.PathRFD + saida);
        GravaLog("***(CMD5)  FIM ***");
        return -8;
    }
    ++PeriodoBuscaSintegra().arquivos;
    GravaLog("***(CMD5)  FIM ***");
    return status;
}

}  // namespace tarvo
