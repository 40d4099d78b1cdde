// Documents of a day whose RFD file the tests check, as the printer's own commands: a
// receipt with item and subtotal adjustments, an item cancelled, a consumer and two equal
// payments with change; a receipt paid by card and its bound voucher; a receipt cancelled
// after closing; a management report.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace teste {

inline const std::vector<std::pair<const char*, std::string>>& DocumentosDoDiaRfd() {
    static const std::vector<std::pair<const char*, std::string>> passos = {
        {"AbreCupomFiscal", "IdConsumidor=\"123.456.789-09\" NomeConsumidor=\"JOSE DA SILVA\""},
        {"VendeItem",
         "CodAliquota=0 CodProduto=\"7891234567890\" NomeProduto=\"ARROZ TIPO 1\" PrecoUnitario=4,99 "
         "Quantidade=2,500 Unidade=\"KG\""},
        {"VendeItem",
         "CodAliquota=-2 CodProduto=\"2\" NomeProduto=\"REFRIGERANTE COLA 2 LITROS GARRAFA PET "
         "RETORNAVEL\" PrecoUnitario=5,00 Quantidade=1,000"},
        {"VendeItem",
         "CodAliquota=1 CodProduto=\"3\" NomeProduto=\"FEIJAO\" PrecoUnitario=8,00 Quantidade=1,000"},
        {"CancelaItemFiscal", "NumItem=3"},
        {"AcresceItemFiscal", "Cancelar=false NumItem=1 ValorAcrescimo=-1,24"},
        {"AcresceItemFiscal", "Cancelar=false NumItem=2 ValorAcrescimo=0,50"},
        {"AcresceSubtotal", "Cancelar=false ValorPercentual=-10,00"},
        {"PagaCupom", "CodMeioPagamento=-2 Valor=10,00"},
        {"PagaCupom", "CodMeioPagamento=-2 Valor=10,00"},
        {"EncerraDocumento", "Operador=\"ANA\""},
        {"AbreCupomFiscal", ""},
        {"VendeItem",
         "CodAliquota=0 CodProduto=\"10\" NomeProduto=\"CAFE\" PrecoUnitario=20,00 Quantidade=1,000"},
        {"PagaCupom", "CodMeioPagamento=0 Valor=20,00"},
        {"EncerraDocumento", "Operador=\"ANA\""},
        {"AbreCreditoDebito", "CodMeioPagamento=0"},
        {"EncerraDocumento", "Operador=\"ANA\""},
        {"AbreCupomFiscal", ""},
        {"VendeItem",
         "CodAliquota=2 CodProduto=\"11\" NomeProduto=\"LEITE\" PrecoUnitario=3,00 Quantidade=1,000"},
        {"PagaCupom", "CodMeioPagamento=-2 Valor=3,00"},
        {"EncerraDocumento", "Operador=\"ANA\""},
        {"CancelaCupom", "Operador=\"ANA\""},
        {"AbreGerencial", "CodGerencial=0"},
        {"ImprimeTexto", "TextoLivre=\"LINHA DO RELATORIO\""},
        {"EncerraDocumento", "Operador=\"ANA\""},
    };
    return passos;
}

}  // namespace teste
