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
#include "driver/fiscalfiles/leituras_fiscais.h"
#include "driver/fiscalfiles/registros_ato.h"
#include "driver/fiscalfiles/rfd_texto.h"
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
    if (!GravaLinhaArquivo(arquivo, linha)) throw ErroArquivoFiscal::AoGravar(arquivo);
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

int MontaContadoresEcf(LeiturasFiscais& leituras, std::string& texto) {
    texto.clear();
    auto registrador = [&](int numero, int largura) {
        std::string valor;
        int r = leituras.LeRegistrador(numero, valor);
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
    std::string valor;
    if (int r = leituras.LeDataAtual(valor); r != 1) return r;
    texto += DataParaAAAAMMDD(SomenteNumeros(valor));
    if (int r = leituras.LeHoraAtual(valor); r != 1) return r;
    texto += PreencheZerosEsquerda(valor, 6);
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

namespace {

// Whether a movement date (yyyymmdd) lies outside the SINTEGRA run's search period.
bool ForaDoPeriodo(const std::string& dataMovimento) {
    const PeriodoSintegra& periodo = PeriodoBuscaSintegra();
    return !periodo.inicio.empty() && !periodo.fim.empty() && !dataMovimento.empty() &&
           !DataNoIntervalo(Ddmmaaaa(dataMovimento), periodo.inicio, periodo.fim);
}

}  // namespace

int LeEntradaRfd(const std::string& reducao, LeiturasFiscais& leituras, EntradaRfd& e, int& captura) {
    const Configuracao& config = Config();
    const EstadoDriver& estado = Estado();
    e = {};
    e.reducao = reducao;
    e.armazenamento = estado.ArmazenamentoRFD;
    e.tdm = estado.FlagTDM;
    e.uf = config.UF;
    e.pastaRfd = config.PathRFD;
    captura = 1;
    CriaDiretorioTemporarioRFD();

    // The reduction's rate table, first COO and text.
    const std::string detalhe = Rfdtemp("DETALHE.TXT");
    if (estado.ArmazenamentoRFD) {
        std::vector<std::string> alq = LinhasArquivo(Rfdtemp("ALQ_" + Quatro(reducao) + ".TXT"));
        if (!alq.empty())
            for (std::size_t i = 0; i < 16 && 5 * i + 5 <= alq[0].size(); ++i)
                e.aliquotas[i] = alq[0].substr(5 * i, 5);
    } else if (config.Debugger) {
        e.primeiroCoo = "700";
        const char* fixas[] = {"T0700", "T1200", "T1800", "T2500", "S0203", "T0800", "T1320",
                               "T2600", "T0012", "T9999", "T8000", "T6000", "T4000", "T2000"};
        for (std::size_t i = 0; i < std::size(fixas); ++i) e.aliquotas[i + 1] = fixas[i];
        GravaLog("Modo Debug1 iCountAliq=(" + std::to_string(std::size(fixas)) +
                 ")- Nao deve ser usado em producao");
    } else {
        std::string ultimo, base = "0";
        if (int r = leituras.LeInteiro("COOReducao[" + reducao + "]", ultimo); r != 1) return r;
        // The first reduction starts at COO 1: the day's first document may be a sale, and
        // starting at 2 would leave it out of the file.
        if (int n = ParaInteiro(reducao, 0); n > 1)
            if (int r = leituras.LeInteiro("COOReducao[" + std::to_string(n - 1) + "]", base); r != 1)
                return r;
        e.primeiroCoo = std::to_string(ParaInteiro(base, 0) + 1);
        if (int r = leituras.FitaDetalhe(e.primeiroCoo, ultimo, Rfdtemp("DETORG.TXT"), detalhe); r != 1)
            return r;
        for (std::size_t i = 0; i < 16; ++i) {
            const std::string ii = PreencheZerosEsquerda(std::to_string(i), 2);
            std::string indicador, valor;
            if (int r = leituras.LeIndicador("Aliquota" + ii + "ICMSReducao[" + reducao + "]", indicador);
                r != 1)
                return r;
            if (int r = leituras.LeMoeda("Aliquota" + ii + "Reducao[" + reducao + "]", valor); r != 1)
                return r;
            e.aliquotas[i] =
                (indicador == "11" ? "T" : "S") + ParteDireita(PreencheZerosEsquerda(valor, 4), 4);
        }
        CopiaArquivo(detalhe, Rfdtemp("DET_" + reducao + ".TXT"), false);
        e.permiteIss = leituras.PermiteIss();
    }
    e.detalhe = LinhasArquivo(detalhe);

    // The head of the text says whether the day counts and whether its user is there: outside
    // the search period nothing more is asked of the printer, and the X reading that gives the
    // user's name and address is sent only when the head lacks them.
    {
        IdentificacaoEcfRfd id;
        Registros() = {};
        ConversorDetalhe conversor(id, e.armazenamento);
        if (ForaDoPeriodo(conversor.LeCabecalho(e.detalhe).DataMovimento)) return 1;
        const RegistroE02& e02 = Registros().E02;
        if (e02.NomeUsuario.Texto().empty() || e02.Endereco.Texto().empty()) {
            const std::string impressao = plataforma::ArquivoNaPasta(config.Path, "IMPRESSAO.TXT");
            ApagaArquivo(impressao);
            if (leituras.LeituraXTexto(impressao) == 1) e.leituraX = LinhasArquivo(impressao);
            ApagaArquivo(impressao);
        }
    }

    // The fiscal memory and the counters.
    const std::string leitmf = Rfdtemp("LEITMF.TXT");
    if (config.Debugger) {
        GravaLog("Modo Debug2 - Nao deve ser usado em producao");
    } else if (!estado.ArmazenamentoRFD && (estado.EmiteLMF_RFD || !plataforma::ExisteArquivo(leitmf))) {
        if (int r = leituras.LeituraMemoriaFiscalTexto(reducao, reducao, leitmf, captura); r != 1) return r;
    }
    e.memoriaFiscal = LeArquivo(leitmf);
    leituras.DataHoraSoftwareBasico(e.memoriaFiscal, e.dataSoftwareBasico, e.horaSoftwareBasico);
    if (estado.FlagTDM && !config.Debugger) {
        GravaLog("***(CMD3)  Gerando E11 ***");
        int r = estado.ArmazenamentoRFD ? LeRegistroE11(e.contadores, reducao)
                                        : MontaContadoresEcf(leituras, e.contadores);
        if (r != 1) return r;
    }
    return 1;
}

int ConverteRfd(const EntradaRfd& e) {
    Registros() = {};
    IdentificacaoEcfRfd id;
    id.CodigoFabricante = kFabricantePadrao;
    CriaDiretorioTemporarioRFD();

    // Stage 1: the head of the text.
    ConversorDetalhe conversor(id, e.armazenamento);
    ResultadoCabecalho cabecalho = conversor.LeCabecalho(e.detalhe);
    RegistrosAto& r = Registros();
    r.DataMovimento = cabecalho.DataMovimento;
    if (ForaDoPeriodo(r.DataMovimento)) {
        GravaLog(
            "RFD_ConvertedaMFDTexto: Data do movimento fora do per\xEDodo de busca do Sintegra.  Data: " +
            cabecalho.DataMovimentoImpressa);
        return 1;
    }
    if (r.E02.NomeUsuario.Texto().empty() || r.E02.Endereco.Texto().empty()) {
        // The user's name and address as an X reading prints them.
        std::string nome, endereco;
        if (UsuarioDoTexto(e.leituraX, nome, endereco)) {
            r.E02.NomeUsuario.Define(nome);
            r.E02.Endereco.Define(endereco);
        }
    }
    std::string primeiroCoo = e.primeiroCoo;
    if (primeiroCoo.empty()) {
        // Without the printer the day's first COO is that of the first document of the text.
        for (const std::string& linha : e.detalhe)
            if (TrechoLinha(linha, 39, 4) == "COO:") {
                primeiroCoo = TrechoLinha(linha, 43, 6);
                break;
            }
    }

    // Stage 2: the documents.
    conversor.LeDocumentos(e.detalhe, e.aliquotas, e.permiteIss, primeiroCoo);
    FechaRegistrosTemporarios();

    // Stage 3: the day files of the documents into RFD.DAT.
    const std::string extensao = ExtensaoRFDData(r.DataMovimento);
    const std::string rfdDat = Rfdtemp("RFD.DAT");
    GravaLog("***(CMD1)  Consolidando RFD.DAT ***" + Rfdtemp("RFD*" + extensao));
    ApagaArquivo(rfdDat);
    if (!GravaArquivo(rfdDat, "")) throw ErroArquivoFiscal::AoGravar(rfdDat);
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
        if (!AnexaTextoArquivo(rfdDat, LeArquivo(Rfdtemp(nome)))) throw ErroArquivoFiscal::AoGravar(rfdDat);
        ApagaArquivo(Rfdtemp(nome));
    }
    GravaLog("***(CMD2)  FIM PROCESSAMENTO LEITURA DE MFD ***");

    // Stage 4: the counters, the fiscal memory, E00 and E01.
    CabecalhoECF identidade = conversor.Cabecalho();
    if (!e.contadores.empty())
        Anexa(rfdDat, "E11" + PreencheEspacosDireita(identidade.NumeroSerie.Texto(), 20) +
                          PreencheEspacosDireita(identidade.MFAdicional.Texto(), 1) +
                          PreencheEspacosDireita(identidade.Modelo.Texto(), 20) + e.contadores);
    r.E02.NumeroSerie = identidade.NumeroSerie;
    r.E02.MFAdicional = identidade.MFAdicional;
    r.E02.Modelo = identidade.Modelo;
    LinhasMemoriaFiscal(LinhasDoTexto(e.memoriaFiscal), rfdDat);
    const std::string& sbData = e.dataSoftwareBasico;
    if (sbData.size() >= 4)
        r.E01.DataInstalacaoSB.Define("20" + sbData.substr(4, 2) + sbData.substr(2, 2) + sbData.substr(0, 2));
    if (!e.horaSoftwareBasico.empty()) r.E01.HoraInstalacaoSB.Define(e.horaSoftwareBasico);
    Anexa(rfdDat, LinhaE00(identidade, id));
    Anexa(rfdDat, LinhaE01(identidade, id, e.reducao, e.tdm));

    // Stage 5: sorted into the output, copied to the RFD folder.
    GravaLog("***(CMD4)  Antes Ordenacao ***");
    std::string serie = Apara(identidade.NumeroSerie.Texto());
    std::string saida;
    if (!e.tdm)
        saida = serie + "_" + r.DataMovimento + "_" + HoraAtual() + ".TXT";
    else if (e.uf != "SE")
        saida = id.CodigoFabricante + ParteDireita(serie, 6) + extensao;
    else
        saida = NomeArquivoRFD(id.CodigoFabricante, id.LetraModelo, serie) + extensao;
    const std::string arquivoSaida = Rfdtemp(saida);
    std::vector<std::string> ordenadas =
        OrdenaLinhasRfd(LinhasArquivo(rfdDat), LinhasArquivo(arquivoSaida), e.tdm);
    {
        plataforma::SaidaSegura f(arquivoSaida);
        for (const std::string& linha : ordenadas) f.Escreve(linha + "\r\n");
        if (!f.Conclui()) throw ErroArquivoFiscal::AoGravar(arquivoSaida);
    }
    ApagaArquivo(rfdDat);
    // The RFD folder never holds half a file, and an earlier one stays until this one is whole.
    if (!plataforma::CopiaArquivoSeguro(arquivoSaida, e.pastaRfd + saida)) {
        DefineErro(Falha::CopiaRfd, e.pastaRfd + saida);
        GravaLog("***(CMD5)  FIM ***");
        return -8;
    }
    ++PeriodoBuscaSintegra().arquivos;
    GravaLog("***(CMD5)  FIM ***");
    return 1;
}

int RFD_ConvertedaMFDTexto(const std::string& reducao) {
    std::lock_guard<std::mutex> trava(conversao);
    GravaLog("Executando RFD_ConvertedaMFDTexto");
    EntradaRfd entrada;
    int captura = 1;
    if (int r = LeEntradaRfd(reducao, LeiturasDaImpressora(), entrada, captura); r != 1) return r;
    const int r = ConverteRfd(entrada);
    // A fiscal-memory capture that ended badly still gives its file, under the capture's code.
    return r == 1 ? captura : r;
}

}  // namespace tarvo
