#include "console/sequencias/tabela.h"

namespace seq {

namespace {

using S = Sufixo;
constexpr Categoria CHQ = Categoria::ImpressaoCheque, INI = Categoria::Inicializacao,
                    CUP = Categoria::CupomFiscal, REL = Categoria::Relatorios,
                    ONF = Categoria::OperacoesNaoFiscais, INF = Categoria::InformacoesImpressora,
                    GAV = Categoria::Gaveta, MFD = Categoria::ImpressorasMFD, AUT = Categoria::Autenticacao,
                    ITV = Categoria::Intervencao, OUT = Categoria::Outras, ATO = Categoria::AtoCotepe1704;

// An entry that calls the export of its own name through the export's wrapper.
ChaveDespacho E(const char* nome, Categoria c) {
    return ChaveDespacho{nome, c, nome};
}

std::vector<ChaveDespacho> Monta() {
    return {
        // Autenticacao
        E("Tarvo_Autenticacao", AUT),
        E("Tarvo_AutenticacaoMFD", AUT).Isenta(),
        // Gaveta
        E("Tarvo_AcionaGaveta", GAV),
        E("Tarvo_VerificaEstadoGaveta", GAV).Isenta().Com(S::Gaveta),
        E("Tarvo_VerificaEstadoGavetaStr", GAV).Buffers(1).Com(S::Gaveta),
        // OperacoesNaoFiscais
        E("Tarvo_AbreComprovanteNaoFiscalVinculado", ONF).Isenta(),
        E("Tarvo_CancelaAcrescimoNaoFiscalMFD", ONF).Isenta(),
        E("Tarvo_CancelaItemNaoFiscalMFD", ONF).Isenta(),
        E("Tarvo_FechaComprovanteNaoFiscalVinculado", ONF),
        E("Tarvo_RecebimentoNaoFiscal", ONF).Isenta(),
        E("Tarvo_Sangria", ONF).Isenta(),
        E("Tarvo_Suprimento", ONF).Isenta(),
        E("Tarvo_UsaComprovanteNaoFiscalVinculado", ONF).Isenta(),
        // CupomFiscal
        E("Tarvo_AbreCupom", CUP).Isenta(),
        E("Tarvo_CancelaCupom", CUP),
        E("Tarvo_CancelaItemAnterior", CUP),
        E("Tarvo_CancelaItemGenerico", CUP),
        E("Tarvo_EfetuaFormaPagamento", CUP),
        E("Tarvo_EfetuaFormaPagamentoDescricaoForma", CUP),
        E("Tarvo_EstornoFormasPagamento", CUP),
        E("Tarvo_FechaCupom", CUP),
        E("Tarvo_FechaCupomResumido", CUP),
        E("Tarvo_IniciaFechamentoCupom", CUP),
        E("Tarvo_ResetaImpressora", CUP),
        E("Tarvo_TerminaFechamentoCupom", CUP).Isenta(),
        E("Tarvo_VendeItem", CUP),
        E("Tarvo_VendeItemDepartamento", CUP),
        // ImpressaoCheque
        E("Tarvo_ImprimeCheque", CHQ),
        E("Tarvo_ImprimeChequeMFD", CHQ),
        E("Tarvo_ImprimeCopiaCheque", CHQ),
        E("Tarvo_IncluiCidadeFavorecido", CHQ),
        E("Tarvo_CancelaImpressaoCheque", CHQ),
        E("Tarvo_LeituraCheque", CHQ).Buffers(35).Com(S::Cheque),
        E("Tarvo_ProgramaMoedaPlural", CHQ),
        E("Tarvo_ProgramaMoedaSingular", CHQ),
        E("Tarvo_VerificaStatusCheque", CHQ).Com(S::Cheque),
        // Inicializacao
        E("Tarvo_AlteraSimboloMoeda", INI),
        E("Tarvo_AtivaDesativaVendaUmaLinhaMFD", INI),
        E("Tarvo_AumentaDescricaoItem", INI),
        E("Tarvo_EspacoEntreLinhas", INI),
        E("Tarvo_LinhasEntreCupons", INI),
        E("Tarvo_NomeiaDepartamento", INI),
        E("Tarvo_NomeiaTotalizadorNaoSujeitoIcms", INI)
            .Chama("Tarvo_NomeiaTotalizadorNaoSujeitoIcms", Via::SegundoInvolucro),
        E("Tarvo_ProgramaAliquota", INI),
        E("Tarvo_ProgramaHorarioVerao", INI),
        E("Tarvo_ProgramaBaudRate", INI),
        // Relatorios
        E("Tarvo_AbreRelatorioGerencial", REL),
        E("Tarvo_FechaRelatorioGerencial", REL),
        E("Tarvo_LeituraMemoriaFiscalData", REL),
        E("Tarvo_LeituraMemoriaFiscalReducao", REL),
        E("Tarvo_LeituraMemoriaFiscalSerialData", REL).Com(S::ArquivoImpr),
        E("Tarvo_LeituraMemoriaFiscalSerialReducao", REL).Com(S::ArquivoImpr),
        E("Tarvo_LeituraX", REL),
        E("Tarvo_LeituraXSerial", REL).Com(S::ArquivoImpr),
        E("Tarvo_LeNomeRelatorioGerencial", REL).Buffers(30).Com(S::Retorno),
        E("Tarvo_ReducaoZ", REL),
        E("Tarvo_RelatorioGerencial", REL),
        // Outras
        E("Tarvo_AberturaDoDia", OUT),
        E("Tarvo_AbrePortaSerial", OUT),
        E("Tarvo_AcionaGuilhotinaMFD", OUT),
        E("Tarvo_FechamentoDoDia", OUT),
        E("Tarvo_FechaPortaSerial", OUT),
        E("Tarvo_IdentificaConsumidor", OUT),
        E("Tarvo_ImprimeConfiguracoesImpressora", OUT),
        E("Tarvo_ImprimeDepartamentos", OUT),
        E("Tarvo_LeArquivoRetorno", OUT).Buffers(6144).Com(S::Retorno),
        E("Tarvo_MapaResumo", OUT),
        E("Tarvo_ModeloImpressora", OUT).Buffers(30).Com(S::Retorno),
        E("Tarvo_NumeroSerieCriptografado", OUT).Buffers(30).Com(S::Retorno),
        E("Tarvo_NumeroSerieDescriptografado", OUT).Isenta().Buffers(30).Com(S::Retorno),
        E("Tarvo_ProgramaCaracterAutenticacao", OUT),
        E("Tarvo_ProgramaIdAplicativoMFD", OUT),
        E("Tarvo_ProgramaOperador", OUT),
        E("Tarvo_RelatorioTipo60Analitico", OUT).Com(S::ArquivoRetorno),
        E("Tarvo_RelatorioTipo60Mestre", OUT).Com(S::ArquivoRetorno),
        E("Tarvo_VerificaImpressoraLigada", OUT),
        E("Tarvo_VerificaReducaoZAutomatica", OUT).Com(S::Retorno),
        E("RFD_ConvertedaMFD", OUT).Chama("RFD_ConvertedaMFD", Via::ContadorRFD),
        E("RFD_ConvertedaMFDData", OUT),
        E("Tarvo_RelatorioSintegraMFD", OUT).Com(S::ArquivoSintegra),
        E("Tarvo_LeCodigoNacionalIdentificacaoECF", OUT).Com(S::CNI),
        E("Tarvo_LeParametrosPAF", OUT).Com(S::ParametrosPAF),
        // InformacoesImpressora
        E("Tarvo_Acrescimos", INF).Buffers(14).Com(S::Retorno),
        E("Tarvo_Cancelamentos", INF).Buffers(14).Com(S::Retorno),
        E("Tarvo_CGC_IE", INF).Buffers(18, 15).Com(S::Retorno),
        E("Tarvo_ClicheProprietario", INF).Buffers(186).Com(S::Retorno),
        E("Tarvo_CNPJ_IE", INF).Buffers(18, 15).Com(S::Retorno),
        E("Tarvo_ContadoresTotalizadoresNaoFiscais", INF).Buffers(44).Com(S::Retorno),
        E("Tarvo_DadosUltimaReducao", INF)
            .Chama("Tarvo_DadosUltimaReducaoMFD", Via::SegundoInvolucro)
            .Buffers(1279)
            .Com(S::Retorno),
        E("Tarvo_DataHoraImpressora", INF).Buffers(6, 6).Com(S::Retorno),
        E("Tarvo_DataHoraReducao", INF).Buffers(6, 6).Com(S::Retorno),
        E("Tarvo_DataHoraSoftwareBasico", INF).Buffers(6, 6).Com(S::Retorno),
        E("Tarvo_DataMovimento", INF).Buffers(6).Com(S::Retorno),
        E("Tarvo_Descontos", INF).Buffers(14).Com(S::Retorno),
        E("Tarvo_FlagsFiscais", INF).Com(S::Retorno),
        E("Tarvo_FlagsFiscaisStr", INF).Buffers(3).Com(S::Retorno),
        E("Tarvo_GrandeTotal", INF).Buffers(18).Com(S::Retorno),
        E("Tarvo_LeIndicadores", INF).Com(S::Retorno),
        E("Tarvo_MinutosImprimindo", INF).Buffers(4).Com(S::Retorno),
        E("Tarvo_MinutosLigada", INF).Buffers(4).Com(S::Retorno),
        E("Tarvo_NumeroCaixa", INF).Buffers(4).Com(S::Retorno),
        E("Tarvo_NumeroCupom", INF).Buffers(6).Com(S::Retorno),
        E("Tarvo_NumeroCuponsCancelados", INF).Buffers(4).Com(S::Retorno),
        E("Tarvo_NumeroIntervencoes", INF).Buffers(4).Com(S::Retorno),
        E("Tarvo_NumeroLoja", INF).Buffers(4).Com(S::Retorno),
        E("Tarvo_NumeroOperacoesNaoFiscais", INF).Buffers(6).Com(S::Retorno),
        E("Tarvo_NumeroReducoes", INF).Buffers(4).Com(S::Retorno),
        E("Tarvo_NumeroSerie", INF).Buffers(20).Com(S::Retorno),
        E("Tarvo_NumeroSubstituicoesProprietario", INF).Buffers(4).Com(S::Retorno),
        E("Tarvo_RetornoAliquotas", INF).Buffers(79).Com(S::Retorno),
        E("Tarvo_RetornoImpressora", INF).Buffers(1024).Com(S::Retorno),
        E("Tarvo_SimboloMoeda", INF).Buffers(2).Com(S::Retorno),
        E("Tarvo_SubTotal", INF).Buffers(14).Com(S::Retorno),
        E("Tarvo_TotalDiaTroco", INF)
            .Chama("Tarvo_TotalDiaTroco", Via::SegundoInvolucro)
            .Buffers(18)
            .Com(S::Retorno),
        E("Tarvo_TotalDocTroco", INF).Buffers(18).Com(S::Retorno),
        E("Tarvo_TotalIcmsCupom", INF).Buffers(14).Com(S::Retorno),
        E("Tarvo_UltimoItemVendido", INF)
            .Chama("Tarvo_UltimoItemVendido", Via::SegundoInvolucro)
            .Buffers(4)
            .Com(S::Retorno),
        E("Tarvo_ValorFormaPagamento", INF).Isenta().Buffers(14).Com(S::RetornoTodos),
        E("Tarvo_ValorPagoUltimoCupom", INF).Buffers(14).Com(S::Retorno),
        E("Tarvo_ValorTotalizadorNaoFiscal", INF).Isenta().Buffers(13).Com(S::Retorno),
        E("Tarvo_VendaBruta", INF).Buffers(14).Com(S::Retorno),
        E("Tarvo_VendaLiquida", INF).Buffers(14).Com(S::Retorno),
        E("Tarvo_VerificaAliquotasICMS", INF).Buffers(79).Com(S::Retorno),
        E("Tarvo_VerificaAliquotasIss", INF).Buffers(79).Com(S::Retorno),
        E("Tarvo_VerificaDepartamentos", INF).Buffers(1019).Com(S::Retorno),
        E("Tarvo_VerificaEstadoImpressora", INF).Com(S::Retorno),
        E("Tarvo_VerificaEstadoImpressoraStr", INF).Buffers(3, 3, 3).Com(S::Retorno),
        E("Tarvo_VerificaFormasPagamento", INF).Buffers(3016).Com(S::Retorno),
        E("Tarvo_VerificaIndiceAliquotasICMS", INF).Buffers(48).Com(S::Retorno),
        E("Tarvo_VerificaIndiceAliquotasIss", INF).Buffers(48).Com(S::Retorno),
        E("Tarvo_VerificaModoOperacao", INF).Buffers(1).Com(S::Retorno),
        E("Tarvo_VerificaRecebimentoNaoFiscal", INF).Buffers(2200).Com(S::Retorno),
        E("Tarvo_VerificaTipoImpressora", INF).Com(S::Retorno),
        E("Tarvo_VerificaTipoImpressoraStr", INF).Buffers(40).Com(S::Retorno),
        E("Tarvo_VerificaTotalizadoresNaoFiscais", INF).Buffers(179).Com(S::Retorno),
        E("Tarvo_VerificaTotalizadoresParciais", INF).Buffers(445).Com(S::Retorno),
        E("Tarvo_VerificaTruncamento", INF).Buffers(1).Com(S::Retorno),
        E("Tarvo_VerificaZPendente", INF).Com(S::Retorno),
        E("Tarvo_VersaoFirmware", INF).Buffers(8).Com(S::Retorno),
        // ImpressorasMFD
        E("Tarvo_AbreComprovanteNaoFiscalVinculadoMFD", MFD),
        E("Tarvo_AbreCupomMFD", MFD),
        E("Tarvo_AbreRecebimentoNaoFiscalMFD", MFD),
        E("Tarvo_AbreRelatorioGerencialMFD", MFD),
        E("Tarvo_AcrescimoDescontoItemMFD", MFD),
        E("Tarvo_AcrescimoDescontoSubtotalMFD", MFD),
        E("Tarvo_AcrescimoDescontoSubtotalRecebimentoMFD", MFD),
        E("Tarvo_AcrescimoItemNaoFiscalMFD", MFD),
        E("Tarvo_CancelaAcrescimoDescontoItemMFD", MFD),
        E("Tarvo_CancelaAcrescimoDescontoSubtotalMFD", MFD),
        E("Tarvo_CancelaAcrescimoDescontoSubtotalRecebimentoMFD", MFD),
        E("Tarvo_CancelaCupomMFD", MFD),
        E("Tarvo_CancelaRecebimentoNaoFiscalMFD", MFD),
        E("Tarvo_CNPJMFD", MFD).Buffers(20).Com(S::Retorno),
        E("Tarvo_ComprovantesNaoFiscaisNaoEmitidosMFD", MFD).Buffers(4).Com(S::Retorno),
        E("Tarvo_ContadorComprovantesCreditoMFD", MFD).Buffers(4).Com(S::Retorno),
        E("Tarvo_ContadorCupomFiscalMFD", MFD).Buffers(4).Com(S::Retorno),
        E("Tarvo_ContadoresTotalizadoresNaoFiscaisMFD", MFD).Buffers(149).Com(S::Retorno),
        E("Tarvo_ContadorFitaDetalheMFD", MFD).Buffers(6).Com(S::Retorno),
        E("Tarvo_ContadorOperacoesNaoFiscaisCanceladasMFD", MFD).Buffers(4).Com(S::Retorno),
        E("Tarvo_ContadorRelatoriosGerenciaisMFD", MFD).Buffers(4).Com(S::Retorno),
        E("Tarvo_CupomAdicionalMFD", MFD),
        E("Tarvo_DadosUltimaReducaoMFD", MFD)
            .Chama("Tarvo_DadosUltimaReducaoMFD", Via::SegundoInvolucro)
            .Buffers(1278)
            .Com(S::Retorno),
        E("Tarvo_DataHoraUltimoDocumentoMFD", MFD).Buffers(12).Com(S::Retorno),
        E("Tarvo_DataMovimentoUltimaReducaoMFD", MFD).Buffers(12).Com(S::Retorno),
        E("Tarvo_DownloadMFD", MFD),
        E("Tarvo_EfetuaFormaPagamentoMFD", MFD),
        E("Tarvo_EfetuaRecebimentoNaoFiscalMFD", MFD),
        E("Tarvo_EstornoNaoFiscalVinculadoMFD", MFD),
        E("Tarvo_FechaRecebimentoNaoFiscalMFD", MFD),
        E("Tarvo_FormatoDadosMFD", MFD),
        E("Tarvo_GrandeTotalUltimaReducaoMFD", MFD).Buffers(18).Com(S::Retorno),
        E("Tarvo_HabilitaDesabilitaRetornoEstendidoMFD", MFD),
        E("Tarvo_IniciaFechamentoCupomMFD", MFD),
        E("Tarvo_IniciaFechamentoRecebimentoNaoFiscalMFD", MFD),
        E("Tarvo_InicioFimCOOsMFD", MFD).Buffers(6, 6).Com(S::Retorno),
        E("Tarvo_InicioFimGTsMFD", MFD).Buffers(18, 18).Com(S::Retorno),
        E("Tarvo_InscricaoEstadualMFD", MFD).Buffers(20).Com(S::Retorno),
        E("Tarvo_InscricaoMunicipalMFD", MFD)
            .Chama("Tarvo_InscricaoMunicipalMFD", Via::SegundoInvolucro)
            .Buffers(20)
            .Com(S::Retorno),
        E("Tarvo_MapaResumoMFD", MFD),
        E("Tarvo_MarcaModeloTipoImpressoraMFD", MFD).Buffers(15, 20, 7).Com(S::Retorno),
        E("Tarvo_MinutosEmitindoDocumentosFiscaisMFD", MFD).Buffers(4).Com(S::Retorno),
        E("Tarvo_NomeiaRelatorioGerencialMFD", MFD)
            .Chama("Tarvo_NomeiaRelatorioGerencialMFD", Via::SegundoInvolucro),
        E("Tarvo_NumeroSerieMemoriaMFD", MFD).Buffers(20).Com(S::Retorno),
        E("Tarvo_PercentualLivreMFD", MFD).Buffers(6).Com(S::Retorno),
        E("Tarvo_ProgramaFormaPagamentoMFD", MFD),
        E("Tarvo_ReducoesRestantesMFD", MFD).Buffers(4).Com(S::Retorno),
        E("Tarvo_RegistrosTipo60", MFD),
        E("Tarvo_ReimpressaoNaoFiscalVinculadoMFD", MFD),
        E("Tarvo_RelatorioTipo60AnaliticoMFD", MFD).Chama("Tarvo_RelatorioTipo60Analitico", Via::Involucro),
        E("Tarvo_SegundaViaNaoFiscalVinculadoMFD", MFD),
        E("Tarvo_StatusEstendidoMFD", MFD).Com(S::Retorno),
        E("Tarvo_SubTotalComprovanteNaoFiscalMFD", MFD).Buffers(14).Com(S::Retorno),
        E("Tarvo_TamanhoTotalMFD", MFD).Buffers(10).Com(S::Retorno),
        E("Tarvo_TempoOperacionalMFD", MFD).Buffers(4).Com(S::Retorno),
        E("Tarvo_TotalLivreMFD", MFD).Buffers(10).Com(S::Retorno),
        E("Tarvo_UsaRelatorioGerencialMFD", MFD),
        E("Tarvo_ValorFormaPagamentoMFD", MFD).Buffers(14).Com(S::RetornoTodos),
        E("Tarvo_ValorTotalizadorNaoFiscalMFD", MFD).Buffers(14).Com(S::RetornoTodos),
        E("Tarvo_VerificaEstadoImpressoraMFD", MFD).Com(S::RetornoTodos),
        E("Tarvo_VerificaFormasPagamentoMFD", MFD).Buffers(919).Com(S::Retorno),
        E("Tarvo_VerificaRecebimentoNaoFiscalMFD", MFD).Buffers(1019).Com(S::Retorno),
        E("Tarvo_VerificaRelatorioGerencialMFD", MFD).Buffers(659).Com(S::Retorno),
        E("Tarvo_VerificaSensorPoucoPapelMFD", MFD).Buffers(1).Com(S::Retorno),
        E("Tarvo_VerificaTotalizadoresNaoFiscaisMFD", MFD).Buffers(599).Com(S::Retorno),
        E("Tarvo_VerificaTotalizadoresParciaisMFD", MFD)
            .Chama("Tarvo_VerificaTotalizadoresParciaisMFD", Via::SegundoInvolucro)
            .Buffers(889)
            .Com(S::Retorno),
        // Intervencao
        E("Tarvo_ProgramaCabecalho", ITV).Chama("DefineDadosCabecalho", Via::Construtor),
        E("Tarvo_ProgramaProprietario", ITV).Chama("DefineProprietario", Via::Construtor),
        E("Tarvo_ProgramaRelogio", ITV).Chama("ProgramaRelogio", Via::Construtor),
        E("Tarvo_CadastraAliquota", ITV).Chama("DefineAliquota", Via::Construtor),
        E("Tarvo_ExcluiAliquota", ITV).Chama("ExcluiAliquota", Via::Construtor),
        E("Tarvo_CadastraMeioPagamento", ITV).Chama("DefineMeioPagamento", Via::Construtor),
        E("Tarvo_ExcluiMeioPagamento", ITV).Chama("ExcluiMeioPagamento", Via::Construtor),
        E("Tarvo_CadastraNaoFiscal", ITV).Chama("DefineNaoFiscal", Via::Construtor),
        E("Tarvo_ExcluiNaoFiscal", ITV).Chama("ExcluiNaoFiscal", Via::Construtor),
        E("Tarvo_ExecutaComando", ITV).Chama("Tarvo_ExecutaComando", Via::Bruta),
        E("Tarvo_ExecutaLeitura", ITV).Chama("Tarvo_ExecutaLeitura", Via::Bruta).Com(S::Retorno),
        E("Tarvo_ProgramaArredondamento", ITV).Chama("Tarvo_ProgramaArredondamento", Via::Arredondamento),
        E("Tarvo_ProgramaTruncamento", ITV).Chama("Tarvo_ProgramaTruncamento", Via::Truncamento),
        // AtoCotepe1704
        E("Tarvo_CancelaLeituraBinario", ATO),
        E("Tarvo_ConverteATO17ParaPAFRJ", ATO).Isenta(),
        E("Tarvo_GeraArquivoATO17Binario", ATO).Isenta(),
        E("Tarvo_GeraRFDBinario", ATO).Isenta().Buffers(256).Com(S::NomeArquivo),
        E("Tarvo_GeraRFDBinarioRJ", ATO).Isenta(),
        E("Tarvo_LeMemoriasBinario", ATO).Isenta(),
        E("Tarvo_LeStatusGeraBinario", ATO).Buffers(255).Com(S::StatusBinario),
    };
}

const std::vector<Construtor>& Construtores() {
    static const std::vector<Construtor> lista = {
        {"DefineDadosCabecalho", {"texto", "loja", "ecf", "altura", "largura", "logotipo"}},
        {"DefineProprietario", {"cnpj", "ie", "im", "senha"}},
        {"ProgramaRelogio", {"data", "hora"}},
        {"DefineAliquota", {"cod", "percentual", "descricao", "tipo"}},
        {"ExcluiAliquota", {"cod", "percentual"}},
        {"DefineMeioPagamento", {"cod", "descricao", "nome", "permiteVinculado"}},
        {"ExcluiMeioPagamento", {"cod", "nome"}},
        {"DefineNaoFiscal", {"cod", "nome", "descricao", "tipo"}},
        {"ExcluiNaoFiscal", {"cod", "nome"}},
    };
    return lista;
}

}  // namespace

const std::array<DadosCategoria, 12>& Categorias() {
    static const std::array<DadosCategoria, 12> lista = {{
        {CHQ, "Funções de Impressão de Cheque", "FunçõesImpressãoCheque.txt"},
        {INI, "Funções de Inicialização", "FunçõesInicialização.txt"},
        {CUP, "Funções de Cupom Fiscal", "FunçõesCupomFiscal.txt"},
        {REL, "Funções de Relatórios", "FunçõesRelatórios.txt"},
        {ONF, "Funções de Operações Não Fiscais", "FunçõesOperaçõesNãoFiscais.txt"},
        {INF, "Funções de Informações da Impressora", "FunçõesInformaçõesImpressora.txt"},
        {GAV, "Funções de Gaveta", "FunçõesGaveta.txt"},
        {MFD, "Funções de Impressoras MFD", "FunçõesImpressorasMFD.txt"},
        {AUT, "Funções de Autenticação", "FunçõesAutenticação.txt"},
        {ITV, "Funções de Intervenção", "FunçõesIntervenção.txt"},
        {OUT, "Outras Funções", "FunçõesOutras.txt"},
        {ATO, "Funções de Geração do Ato Cotepe", "FunçõesAtoCotepe1704.txt"},
    }};
    return lista;
}

const std::array<Categoria, 12>& OrdemDeLeitura() {
    static const std::array<Categoria, 12> ordem = {CHQ, INI, AUT, CUP, GAV, MFD,
                                                    INF, ONF, REL, ITV, OUT, ATO};
    return ordem;
}

const DadosCategoria& DadosDe(Categoria c) {
    return Categorias()[static_cast<std::size_t>(c)];
}

const std::vector<ChaveDespacho>& TabelaDespacho() {
    static const std::vector<ChaveDespacho> tabela = Monta();
    return tabela;
}

std::string NormalizaChave(std::string_view nome) {
    auto branco = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t i = 0, f = nome.size();
    while (i < f && branco(nome[i])) ++i;
    while (f > i && branco(nome[f - 1])) --f;
    std::string r(nome.substr(i, f - i));
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

std::string Chave(const ChaveDespacho& e) {
    return NormalizaChave(e.nome);
}

const ChaveDespacho* ProcuraChave(std::string_view chave) {
    for (const ChaveDespacho& e : TabelaDespacho())
        if (Chave(e) == chave) return &e;
    return nullptr;
}

const Construtor* ProcuraConstrutor(std::string_view nome) {
    for (const Construtor& c : Construtores())
        if (nome == c.nome) return &c;
    return nullptr;
}

std::vector<ArgumentoExportado> ParametrosDaChave(const ChaveDespacho& e) {
    if (e.via == Via::Construtor) {
        std::vector<ArgumentoExportado> r;
        if (const Construtor* c = ProcuraConstrutor(e.alvo))
            for (const char* p : c->parametros) r.push_back({p, Passagem::EntradaTexto, 0});
        return r;
    }
    const Assinatura* a = ProcuraAssinatura(e.alvo);
    return a ? a->argumentos : std::vector<ArgumentoExportado>{};
}

std::string Declaracao(const ChaveDespacho& e) {
    const std::vector<ArgumentoExportado> parametros = ParametrosDaChave(e);
    std::string linha = std::string(e.nome) + "(";
    for (std::size_t i = 0; i < parametros.size(); ++i) {
        const ArgumentoExportado& p = parametros[i];
        if (i) linha += "; ";
        const bool saida = EhSaida(p.passagem);
        const bool texto = p.passagem == Passagem::EntradaTexto || p.passagem == Passagem::SaidaTexto;
        linha += std::string(saida ? "var " : "") + p.nome + ": " + (texto ? "string" : "integer");
    }
    return linha + "): integer; " + std::to_string(parametros.size());
}

std::string ListaDeFuncoes(Categoria c) {
    std::string texto;
    for (const ChaveDespacho& e : TabelaDespacho())
        if (e.categoria == c) texto += Declaracao(e) + "\r\n";
    return texto;
}

}  // namespace seq
