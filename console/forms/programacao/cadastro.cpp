#include "console/forms/programacao/cadastro.h"

#include "console/forms/comum/formulario.h"

namespace belmora {

QString NormalizaComparacao(const QString& texto) {
    const QString decomposto = texto.trimmed().normalized(QString::NormalizationForm_D);
    QString r;
    r.reserve(decomposto.size());
    for (QChar c : decomposto)
        if (c.category() != QChar::Mark_NonSpacing) r += c;
    return r.toUpper();
}

std::vector<PassoCadastro> PlanejaCadastro(const Grade& grade, const RegrasCadastro& regras,
                                           const RegistroDaLinha& registro) {
    std::vector<PassoCadastro> passos;
    // Every label is converted first, so a bad one stops the walk before anything is sent.
    std::vector<int> codigos;
    for (int l = regras.linhaInicial; l < grade.Linhas(); ++l) {
        bool ok = false;
        const QString rotulo = grade.Celula(l, 0).trimmed();
        const int codigo = rotulo.toInt(&ok);
        if (!ok) throw ErroFormulario("'" + rotulo.toStdString() + "' is not a valid integer value");
        codigos.push_back(codigo);
    }
    for (int l = regras.linhaInicial; l < grade.Linhas(); ++l) {
        const int codigo = codigos[static_cast<std::size_t>(l - regras.linhaInicial)];
        PassoCadastro p{TipoPasso::Altera, l, QString::number(codigo), {}, {}};
        for (int c = 1; c <= regras.colunas; ++c) p.valores << grade.Celula(l, c);
        const QString chave = p.valores.value(regras.chave).trimmed();
        const std::optional<QStringList> anterior = registro(l, codigo);
        if (anterior) {
            p.anteriores = *anterior;
            bool igual = true;
            for (int i = 0; i < regras.colunas; ++i)
                if (NormalizaComparacao(p.valores.value(i)) != NormalizaComparacao(anterior->value(i)))
                    igual = false;
            if (igual) continue;
            if (chave.isEmpty()) {
                // An entry that was empty at the capture and is still empty has nothing to delete.
                if (anterior->value(regras.chave).trimmed().isEmpty()) continue;
                p.tipo = TipoPasso::Exclui;
            } else {
                p.tipo = TipoPasso::Altera;
            }
        } else {
            if (chave.isEmpty()) continue;
            p.tipo = !regras.recusado.isEmpty() && chave == regras.recusado ? TipoPasso::Recusa
                                                                            : TipoPasso::Insere;
        }
        passos.push_back(std::move(p));
    }
    return passos;
}

namespace {
// Code-page-850 byte -> Windows-1252 letter, row for row the binding's escape table.
const struct {
    unsigned char cp850, letra;
} kLetras[] = {
    {0x80, 199}, {0x82, 233}, {0x83, 226}, {0x85, 224}, {0x87, 231}, {0x88, 234}, {0x8A, 232},
    {0x8D, 236}, {0x90, 201}, {0x95, 242}, {0xA0, 225}, {0xA1, 249}, {0xA2, 243}, {0xB5, 193},
    {0xB7, 192}, {0xC6, 227}, {0xD4, 200}, {0xD6, 205}, {0xE0, 211}, {0xE4, 245},
};
}  // namespace

std::string ConverteCP850Texto(const std::string& texto) {
    std::string r;
    r.reserve(texto.size());
    for (unsigned char c : texto) {
        unsigned char saida = c;
        for (const auto& t : kLetras)
            if (t.cp850 == c) saida = t.letra;
        r += static_cast<char>(saida);
    }
    return r;
}

}  // namespace belmora
