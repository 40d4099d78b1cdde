#include "console/main/menu.h"

#include <array>
#include <cctype>

namespace belmora {

namespace {

using A = Acao;
constexpr A F = A::Formulario;

const std::array<Grupo, kNumeroGrupos>& Grupos() {
    static const std::array<Grupo, kNumeroGrupos> g = {{
        {"Ecf",
         "01 - %1ecf",
         2,
         {
             {"(C)onectar", 'C', A::Conectar, nullptr},
             {"(D)esconectar", 'D', A::Desconectar, nullptr},
             {"(A)brir Gaveta", 'A', A::AbrirGaveta, nullptr},
             {"C(o)rtar Papel", 'O', F, "TfrmCortarPapel"},
             {"Co(n)figurações", 'N', F, "TfrmConfiguracoes"},
         }},
        {"Operacoes",
         "02 - %1operacoes",
         0,
         {
             {"(P)rogramar Equipamento", 'P', F, "TfrmProgramarEquipamento"},
             {"(S)cripts e Desenvolvimento", 'S', F, "TfrmSeqComandos"},
             {"Programar (D)ask 200, Dask 300, Dask 400 e Vesk", 'D', F, "TfrmProgramarDasks"},
         }},
        {"Intervencao",
         "03 - %1intervencao",
         0,
         {
             {"(P)rogramar Proprietário", 'P', F, "TfrmProgramaProprietario"},
             {"(C)abeçalho", 'C', F, "TfrmProgramaCabecalho"},
             {"P(r)ogramação de Data e Hora", 'R', F, "TfrmProgramaDataHora"},
             {"Cadastro de (F)ormas de Pagamento", 'F', F, "TfrmDefMeioPgto"},
             {"(A)lteração de Alíquotas", 'A', F, "TfrmDefineAliquotas", -1, 19},
             {"Ca(d)astro de Totalizadores Não Fiscais", 'D', F, "TfrmDefineNaoFiscal"},
             {"(I)mpressão de Fita Detalhe", 'I', F, "TfrmImprimeMFD"},
         }},
        {"Programacoes",
         "04 - %1programacoes",
         0,
         {
             {"Cadastro de (A)líquotas", 'A', F, "TfrmDefineAliquotas", -1, 19},
             {"Cadastro de (F)ormas de Pagamento", 'F', F, "TfrmDefMeioPgto"},
             {"Cadastro de (R)elatórios Gerenciais", 'R', F, "TfrmDefRelatorioGerencial"},
             {"Cadastro de (T)otalizadores não fiscais", 'T', F, "TfrmDefineNaoFiscal"},
             {"Cadastro de (D)epartamentos", 'D', F, "TfrmDefDepartamento"},
             {"(P)rogramação de Arredondamento / Truncamento", 'P', F, "TfrmAlterarFormaTotalizacao"},
             {"Programação do (H)orário de Verão", 'H', F, "TfrmProgramaHorarioVerao"},
         }},
        {"Status",
         "05 - %1status",
         0,
         {
             {"(I)mpressora", 'I', F, "TfrmStatusImp"},
             {"Cupom (F)iscal", 'F', F, "TfrmStatusCupom"},
             {"(E)stado Fiscal", 'E', F, "TFrmStatusEstadoFiscal"},
             {"(D)ata e Hora", 'D', F, "TfrmDataHora"},
             {"(L)eitura de Indicadores", 'L', F, "TfrmStatusLeituraIndicadores"},
             {"(A)líquotas", 'A', F, "TfrmAliquotas"},
             {"Formas de (P)agamento", 'P', F, "TfrmMeiosPgto"},
             {"(T)roco", 'T', F, "TfrmStatusTroco"},
             {"Totalizadores (N)ão Fiscais", 'N', F, "TfrmTotalizadoresNF"},
             {"Compro(v)antes Não Fiscais", 'V', F, "TfrmCNF"},
             {"Relatórios (G)erenciais", 'G', F, "TfrmStatusRelatGerenciais"},
             {"Departa(m)entos", 'M', F, "TfrmStatusDepartamentos"},
             {"Dados da Última Redução (Z)", 'Z', F, "TfrmDadosUltimaRedZ"},
             {"Dados do P(r)oprietário", 'R', F, "TfrmDadosCliche"},
             {"Dad(o)s do ECF", 'O', F, "TfrmDadosECF"},
         }},
        {"Relatorios",
         "06 - %1relatorio",
         0,
         {
             {"Leitura (X)", 'X', F, "TFrmLeituraX"},
             {"Redução (Z)", 'Z', F, "TfrmReducaoZ"},
             {"Leitura da (M)emória Fiscal", 'M', F, "TfrmLeituraMFMFD"},
             {"Leitura da (F)ita Detalhe", 'F', F, "TfrmDownloadMFD"},
             {"(R)elatório Gerencial", 'R', F, "TfrmRelatorioGerencial"},
             {"Relatórios (S)integra", 'S', F, "TfrmRelatoriosSintegra", -1, 47},
             {"(G)erar Ato Cotepe", 'G', F, "TGeraRFD"},
         }},
        {"CupomFiscal",
         "07 - %1cupomfiscal",
         49,
         {
             {"(A)brir Cupom Fiscal", 'A', F, "TfrmAbreCupom"},
             {"(V)ender Item Fiscal", 'V', F, "TfrmVendeItem"},
             {"(D)esconto / Acréscimo em Item Fiscal", 'D', F, "TfrmAcresceItem", 1, 52,
              "Desconto / Acréscimo em item fiscal"},
             {"(C)ancelar Item", 'C', F, "TfrmCancelarItem", 0, 53, "Cancelar item fiscal"},
             {"Ca(n)celar Cupom", 'N', A::CancelarCupom, nullptr},
             {"Alterar (S)ubtotal", 'S', F, "TfrmAlterarSubtotal", -1, 55},
             {"(P)agamento", 'P', F, "TfrmPagamento", -1, 56},
             {"(E)ncerrar Cupom", 'E', F, "TfrmEncerrarDoc", -1, 57},
             {"E(m)issão Completa de Cupom", 'M', F, "TfrmAllCupom"},
         }},
        {"CupomNaoFiscal",
         "08 - %1cupomnaofiscal",
         59,
         {
             {"(A)brir Cupom Não Fiscal", 'A', F, "TfrmAbreCNF"},
             {"Abrir Cupom Não Fiscal (V)inculado", 'V', F, "TAbreCNFVinc"},
             {"Emitir (I)tem Não Fiscal", 'I', F, "TfrmEmiteItemNF"},
             {"(D)esconto / Acréscimo de Item Não Fiscal", 'D', F, "TfrmAcresceItem", 0, 63,
              "Desconto / Acréscimo em item não fiscal"},
             {"(U)sar Comprovante Não Fiscal", 'U', F, "TfrmTextoLivre"},
             {"Emitir (S)egunda Via", 'S', A::SegundaVia, nullptr},
             {"(C)ancelar Item Não Fiscal", 'C', F, "TfrmCancelarItem", 1, 66, "Cancelar item não fiscal"},
             {"Cancelar Cupom (N)ão Fiscal", 'N', A::CancelarCupom, nullptr},
             {"(E)storno de Cupom Não Fiscal Vinculado", 'E', F, "TfrmEstornoVinculado"},
             {"A(l)terar Subtotal", 'L', F, "TfrmAlterarSubtotal", -1, 69},
             {"(P)agamento", 'P', F, "TfrmPagamento", -1, 70},
             {"Encerrar Cupo(m)", 'M', F, "TfrmEncerrarDoc", -1, 71},
         }},
        {"Comandos",
         "09 - %1comandos",
         0,
         {
             {"(G)erenciar Layouts de Cheque", 'G', F, "TfrmGerenciaLayouts", -1, 77},
             {"(I)mprimir Cheque", 'I', F, "TfrmImprimeCheque"},
             {"(A)utenticar Documento", 'A', F, "TfrmAutenticaDocumento"},
         }},
    }};
    return g;
}

}  // namespace

const Grupo& GrupoMenu(int n) {
    return Grupos().at(static_cast<std::size_t>(n - 1));
}

std::string LetrasDeAtalho(int n) {
    std::string letras;
    for (const Opcao& o : GrupoMenu(n).opcoes) letras += o.letra;
    return letras;
}

int OpcaoDaLetra(int n, char letra) {
    auto p = LetrasDeAtalho(n).find(static_cast<char>(std::toupper(static_cast<unsigned char>(letra))));
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

std::string ArquivoImagem(int n, Imagem qual) {
    std::string stem = GrupoMenu(n).imagem;
    std::string prefixo = qual == Imagem::Titulo ? "titulo_menu_" : "menu_";
    stem.replace(stem.find("%1"), 2, prefixo);
    return "Imagens/" + stem + (qual == Imagem::Selecionada ? "_f2.jpg" : ".jpg");
}

std::string TituloDaOpcao(const Opcao& o) {
    if (o.titulo) return o.titulo;
    std::string t;
    for (const char* c = o.texto; *c; ++c)
        if (*c != '(' && *c != ')') t += *c;
    return t;
}

}  // namespace belmora
