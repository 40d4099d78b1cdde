// The ATO COTEPE 17/04 records of one document in memory, their scratch store (E12.DAT ..
// E21.DAT in RFDTEMP), the record copies and the RFD file names.
//
// The detail-tape conversion fills the library-wide records field by field, writes them with
// GravaRegistroTemporario, then turns each document into lines with GeraArquivosRFDSintegra
// (consolidacao_rfd.h) and empties the store. Every record is a plain sequence of Campo<N>,
// so its bytes are the store file's record: the sizes below are the file record sizes.
#pragma once

#include <functional>
#include <string>
#include <type_traits>

#include "driver/fiscalfiles/campo_ato.h"

namespace tarvo {

// Type codes of the store (file RFDTEMP/E<10+t>.DAT).
inline constexpr int kTipoE12 = 2, kTipoE13 = 3, kTipoE14 = 4, kTipoE15 = 5, kTipoE16 = 6, kTipoE17 = 7,
                     kTipoE18 = 8, kTipoE19 = 9, kTipoE20 = 10, kTipoE21 = 11;

// Head shared by the stored records (65 bytes).
struct CabecalhoECF {
    Campo<3> Tipo;  // "E12" .. "E21"
    Campo<20> NumeroSerie;
    Campo<1> MFAdicional;
    Campo<20> Modelo;
    Campo<2> NumeroUsuario;
    Campo<6> COO;
    Campo<6> CCF;
    template <class F>
    void ParaCadaCampo(F&& f) {
        f(Tipo), f(NumeroSerie), f(MFAdicional), f(Modelo), f(NumeroUsuario), f(COO), f(CCF);
    }
};

// Reduction Z of the day.
struct RegistroE12 {
    CabecalhoECF Cabecalho;
    Campo<6> CRZ;
    Campo<6> CRO;
    Campo<8> DataMovimento;  // YYYYMMDD
    Campo<8> DataEmissao;
    Campo<6> HoraEmissao;  // HHMMSS
    Campo<14> VendaBrutaDiaria;
    Campo<1> ParametroDescontoISSQN;
    Campo<6> PrimeiroCOO;
    template <class F>
    void ParaCadaCampo(F&& f) {
        Cabecalho.ParaCadaCampo(f);
        f(CRZ), f(CRO), f(DataMovimento), f(DataEmissao), f(HoraEmissao), f(VendaBrutaDiaria),
            f(ParametroDescontoISSQN), f(PrimeiroCOO);
    }
};

// Partial totalizer of a reduction.
struct RegistroE13 {
    CabecalhoECF Cabecalho;
    Campo<6> CRZ;
    Campo<7> CodigoTotalizador;  // 01T1800, F1, Can-T, DT, AT, OPNF ...
    Campo<13> ValorAcumulado;
    template <class F>
    void ParaCadaCampo(F&& f) {
        Cabecalho.ParaCadaCampo(f);
        f(CRZ), f(CodigoTotalizador), f(ValorAcumulado);
    }
};

// Fiscal receipt.
struct RegistroE14 {
    CabecalhoECF Cabecalho;
    Campo<8> DataInicio;
    Campo<14> Subtotal;
    Campo<13> DescontoSubtotal;
    Campo<1> TipoDesconto;  // V or P
    Campo<13> AcrescimoSubtotal;
    Campo<1> TipoAcrescimo;
    Campo<14> ValorTotalLiquido;
    Campo<1> IndicadorCancelamento;  // S or N
    Campo<13> AcrescimoCancelado;
    Campo<1> OrdemDescontoAcrescimo;  // D or A
    Campo<40> NomeAdquirente;
    Campo<14> CPFCNPJAdquirente;
    template <class F>
    void ParaCadaCampo(F&& f) {
        Cabecalho.ParaCadaCampo(f);
        f(DataInicio), f(Subtotal), f(DescontoSubtotal), f(TipoDesconto), f(AcrescimoSubtotal),
            f(TipoAcrescimo), f(ValorTotalLiquido), f(IndicadorCancelamento), f(AcrescimoCancelado),
            f(OrdemDescontoAcrescimo), f(NomeAdquirente), f(CPFCNPJAdquirente);
    }
};

// Item of a fiscal receipt.
struct RegistroE15 {
    CabecalhoECF Cabecalho;
    Campo<3> NumeroItem;
    Campo<14> CodigoProduto;
    Campo<100> Descricao;
    Campo<7> Quantidade;  // decimals in DecimaisQuantidade
    Campo<3> Unidade;
    Campo<8> ValorUnitario;  // decimals in DecimaisValorUnitario
    Campo<8> Desconto;
    Campo<8> Acrescimo;
    Campo<14> ValorTotalLiquido;
    Campo<7> CodigoTotalizador;
    Campo<1> IndicadorCancelamento;
    Campo<7> QuantidadeCancelada;
    Campo<13> ValorCancelado;
    Campo<13> AcrescimoCancelado;
    Campo<1> IndicadorArredondamento;  // A or T
    Campo<1> DecimaisQuantidade;
    Campo<1> DecimaisValorUnitario;
    template <class F>
    void ParaCadaCampo(F&& f) {
        Cabecalho.ParaCadaCampo(f);
        f(NumeroItem), f(CodigoProduto), f(Descricao), f(Quantidade), f(Unidade), f(ValorUnitario),
            f(Desconto), f(Acrescimo), f(ValorTotalLiquido), f(CodigoTotalizador), f(IndicadorCancelamento),
            f(QuantidadeCancelada), f(ValorCancelado), f(AcrescimoCancelado), f(IndicadorArredondamento),
            f(DecimaisQuantidade), f(DecimaisValorUnitario);
    }
};

// Other document (readings, reports, vouchers).
struct RegistroE16 {
    CabecalhoECF Cabecalho;
    Campo<6> GNF;
    Campo<6> GRG;
    Campo<4> CDC;
    Campo<6> CRZ;
    Campo<2> Denominacao;  // LX, RZ, RG, CC, MF, CN
    Campo<8> DataFinal;
    Campo<6> HoraFinal;
    template <class F>
    void ParaCadaCampo(F&& f) {
        Cabecalho.ParaCadaCampo(f);
        f(GNF), f(GRG), f(CDC), f(CRZ), f(Denominacao), f(DataFinal), f(HoraFinal);
    }
};

// Non-fiscal totalizer of a reduction (E17) and payment form of a reduction (E18).
struct RegistroE17 {
    CabecalhoECF Cabecalho;
    Campo<6> CRZ;
    Campo<15> TotalizadorNaoFiscal;
    Campo<13> ValorAcumulado;
    template <class F>
    void ParaCadaCampo(F&& f) {
        Cabecalho.ParaCadaCampo(f);
        f(CRZ), f(TotalizadorNaoFiscal), f(ValorAcumulado);
    }
};

struct RegistroE18 {
    CabecalhoECF Cabecalho;
    Campo<6> CRZ;
    Campo<15> MeioPagamento;
    Campo<13> ValorAcumulado;
    template <class F>
    void ParaCadaCampo(F&& f) {
        Cabecalho.ParaCadaCampo(f);
        f(CRZ), f(MeioPagamento), f(ValorAcumulado);
    }
};

// Payment of a document.
struct RegistroE21 {
    CabecalhoECF Cabecalho;
    Campo<6> GNF;
    Campo<15> MeioPagamento;
    Campo<13> ValorPago;
    Campo<1> IndicadorEstorno;
    Campo<13> ValorEstornado;
    template <class F>
    void ParaCadaCampo(F&& f) {
        Cabecalho.ParaCadaCampo(f);
        f(GNF), f(MeioPagamento), f(ValorPago), f(IndicadorEstorno), f(ValorEstornado);
    }
};

// Records that are never stored: the developer and application (E00), the identity of the
// printer and of the file (E01), the user (E02). Their fields are those of their lines.
struct RegistroE00 {
    Campo<3> Tipo;
    Campo<20> NumeroSerie;
    Campo<1> MFAdicional;
    Campo<2> NumeroUsuario;
    Campo<7> TipoECF;
    Campo<20> Marca;
    Campo<20> Modelo;
    Campo<6> COO;
    Campo<2> NumeroAplicativo;
    Campo<14> CNPJDesenvolvedor;
    Campo<14> IEDesenvolvedor;
    Campo<14> IMDesenvolvedor;
    Campo<40> NomeDesenvolvedor;
    Campo<40> NomeAplicativo;
    Campo<10> VersaoAplicativo;
    Campo<42> PrimeiraLinha;
    Campo<42> SegundaLinha;
    template <class F>
    void ParaCadaCampo(F&& f) {
        f(Tipo), f(NumeroSerie), f(MFAdicional), f(NumeroUsuario), f(TipoECF), f(Marca), f(Modelo), f(COO),
            f(NumeroAplicativo), f(CNPJDesenvolvedor), f(IEDesenvolvedor), f(IMDesenvolvedor),
            f(NomeDesenvolvedor), f(NomeAplicativo), f(VersaoAplicativo), f(PrimeiraLinha), f(SegundaLinha);
    }
};

struct RegistroE01 {
    Campo<3> Tipo;
    Campo<20> NumeroSerie;
    Campo<1> MFAdicional;
    Campo<7> TipoECF;
    Campo<20> Marca;
    Campo<20> Modelo;
    Campo<10> VersaoSB;
    Campo<8> DataInstalacaoSB;
    Campo<6> HoraInstalacaoSB;
    Campo<3> NumeroSequencialECF;
    Campo<14> CNPJUsuario;
    Campo<3> ComandoGeracao;  // TDM or MFD
    Campo<6> CRZInicial;
    Campo<6> CRZFinal;
    Campo<8> DataInicial;
    Campo<8> DataFinal;
    Campo<8> VersaoBiblioteca;
    Campo<15> VersaoAtoCotepe;
    template <class F>
    void ParaCadaCampo(F&& f) {
        f(Tipo), f(NumeroSerie), f(MFAdicional), f(TipoECF), f(Marca), f(Modelo), f(VersaoSB),
            f(DataInstalacaoSB), f(HoraInstalacaoSB), f(NumeroSequencialECF), f(CNPJUsuario),
            f(ComandoGeracao), f(CRZInicial), f(CRZFinal), f(DataInicial), f(DataFinal), f(VersaoBiblioteca),
            f(VersaoAtoCotepe);
    }
};

struct RegistroE02 {
    Campo<3> Tipo;
    Campo<20> NumeroSerie;
    Campo<1> MFAdicional;
    Campo<20> Modelo;
    Campo<14> CNPJUsuario;
    Campo<14> IEUsuario;
    Campo<40> NomeUsuario;
    Campo<120> Endereco;
    Campo<8> DataCadastro;
    Campo<6> HoraCadastro;
    Campo<6> CRO;
    Campo<18> GT;
    Campo<2> NumeroUsuario;
    template <class F>
    void ParaCadaCampo(F&& f) {
        f(Tipo), f(NumeroSerie), f(MFAdicional), f(Modelo), f(CNPJUsuario), f(IEUsuario), f(NomeUsuario),
            f(Endereco), f(DataCadastro), f(HoraCadastro), f(CRO), f(GT), f(NumeroUsuario);
    }
};

// The store writes and reads the records as bytes: they must have no gap and no hidden state.
static_assert(sizeof(CabecalhoECF) == 65);
static_assert(sizeof(RegistroE12) == 128 && sizeof(RegistroE13) == 94 && sizeof(RegistroE14) == 210);
static_assert(sizeof(RegistroE15) == 291 && sizeof(RegistroE16) == 110 && sizeof(RegistroE17) == 102);
static_assert(sizeof(RegistroE18) == 102 && sizeof(RegistroE21) == 118);
static_assert(std::is_trivially_copyable_v<RegistroE15> && std::is_standard_layout_v<RegistroE15>);

// Every field of a record with its bytes past the length set to zero.
template <class R>
void NormalizaRegistro(R& r) {
    r.ParaCadaCampo([](auto& c) { c.Normaliza(); });
}

// The records of the document being converted, with the values that go with them.
struct RegistrosAto {
    RegistroE01 E01;
    RegistroE02 E02;
    RegistroE12 E12;
    RegistroE13 E13;
    RegistroE14 E14;
    RegistroE15 E15;
    RegistroE16 E16;
    RegistroE17 E17;
    RegistroE18 E18;
    RegistroE21 E21;
    std::string DataMovimento;  // YYYYMMDD of the file being produced
    std::string DiaSintegra;    // date that the last SINTEGRA line took (8 digits)
    // The GT the day's Z reduction printed ("TOTALIZADOR GERAL"): the 60M's grand total. E02
    // keeps the GT of the user's registration.
    std::string GTReducao;
};
RegistrosAto& Registros();

// Empties the document records (E12 .. E21) in one call, as each document starts: nothing
// of one document (buyer, amounts, indicators) may reach the next. E01, E02 and the dates
// belong to the whole file and stay.
void LimpaRegistrosDocumento();

// --- the store ---------------------------------------------------------------------------------
// Full name of the store file of type t ("E12.DAT" .. "E21.DAT" in DiretorioTemporarioRFD()).
std::string ArquivoRegistroTemporario(int t);
// Bytes of one stored record of type t; 0 for E19, E20 and unknown types.
std::size_t TamanhoRegistroTemporario(int t);
// Creates RFDTEMP when missing; ErroArquivoFiscal("Impossivel Criar<folder>") when it cannot.
void CriaDiretorioTemporarioRFD();

void ApagaRegistroTemporario(int t);
void ApagaRegistrosTemporarios();
// The store files stay open while a conversion writes them (an emptied one holds no record
// and is written over); this closes them: the empty ones are removed, the others cut to their
// records. Conversions call it when their documents are done.
void FechaRegistrosTemporarios();
// Writes the in-memory record of type t as record n (from 0) of its file. For E15 the
// rounding indicator is settled first (AjustaIndicadorArredondamento). Types without a
// layout write nothing. Throws ErroArquivoFiscal when the folder or the file fails.
void GravaRegistroTemporario(int t, int n);
// 1 when record n was read into the in-memory record, 0 when the file does not exist or holds
// no record (the record is left as it was). A record past the end of a file that holds
// records throws ErroArquivoFiscal.
int LeRegistroTemporario(int t, int n);
// Whole records in the file; 0 when it does not exist.
int ContaRegistrosTemporarios(int t);
// Reads the file once and puts each whole record in turn into the in-memory record, calling
// `cada` after each (as LeRegistroTemporario for n = 0, 1, ... would); returns their number.
int PercorreRegistrosTemporarios(int t, const std::function<void()>& cada);

// E15: the indicator becomes "A" when the unit value times the quantity and the item's gross
// amount (net total + discount - increase) differ by exactly one centavo.
void AjustaIndicadorArredondamento(RegistroE15& item);

// --- record copies -------------------------------------------------------------------------------
// The common head (serial, additional-memory letter, model, user, COO, CCF) from one record
// to another; the target keeps its record type.
void CopiaCabecalhoECF(const CabecalhoECF& origem, CabecalhoECF& destino);
// One document record copied field by field (bytes past each length as zeros).
template <class R>
void CopiaRegistroDocumento(const R& origem, R& destino) {
    destino = origem;
    NormalizaRegistro(destino);
}

// --- file names -----------------------------------------------------------------------------------
// Maker code + model code + characters 16 to 20 of a serial of 20 or 21 characters; empty
// for any other serial length.
std::string NomeArquivoRFD(const std::string& fabricante, const std::string& modelo,
                           const std::string& serie);
// "." + day, month and year - 2000 as one character each (0-9, then A = 10 .. Z = 35) of a
// YYYYMMDD date. A date whose parts give another character (a year before 2000 or after
// 2035, a text that is not eight digits) throws ErroArquivoFiscal.
std::string ExtensaoRFDData(const std::string& data);

}  // namespace tarvo
