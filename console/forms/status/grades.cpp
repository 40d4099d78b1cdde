#include "console/forms/status/grades.h"

#include <algorithm>

#include "console/binding/auxiliar.h"
#include "console/binding/construtores.h"
#include "console/binding/ecf_dll.h"
#include "console/forms/comum/formulario.h"
#include "console/forms/comum/valores.h"
#include "platform/codepage.h"

namespace belmora {

namespace {

QString DeCp1252(const std::string& t) {
    return QString::fromStdString(plataforma::Cp1252ParaUtf8(t));
}

}  // namespace

GradeSimples::GradeSimples(int linhas, int colunas)
    : linhas_(std::max(linhas, 0)),
      colunas_(std::max(colunas, 0)),
      celulas_(static_cast<std::size_t>(linhas_) * static_cast<std::size_t>(colunas_)) {}

QString GradeSimples::Celula(int linha, int coluna) const {
    if (linha < 0 || coluna < 0 || linha >= linhas_ || coluna >= colunas_) return {};
    return celulas_[static_cast<std::size_t>(linha * colunas_ + coluna)];
}

void GradeSimples::DefineCelula(int linha, int coluna, const QString& texto) {
    if (linha < 0 || coluna < 0 || linha >= linhas_ || coluna >= colunas_) return;
    celulas_[static_cast<std::size_t>(linha * colunas_ + coluna)] = texto;
}

void TGridManager::AplicaTitulos(const QStringList& titulos) {
    for (int c = 0; c < grade_->Colunas(); ++c) grade_->DefineCelula(0, c, QString());
    for (int i = 0; i < titulos.size() && i < grade_->Colunas(); ++i) grade_->DefineCelula(0, i, titulos[i]);
}

void TGridManager::MontaGrade() {
    AplicaTitulos(titulos_);
    int n = 0;
    for (int l = linhaInicial_; l < grade_->Linhas(); ++l) grade_->DefineCelula(l, 0, QString::number(n++));
}

void TGridManager::LimpaLinhas() {
    for (int l = linhaInicial_; l < grade_->Linhas(); ++l)
        for (int c = 1; c < grade_->Colunas(); ++c) grade_->DefineCelula(l, c, QString());
}

void TGridManager::LimpaCelulaAtual() {
    grade_->DefineCelula(grade_->LinhaAtual(), grade_->ColunaAtual(), QString());
}

void TGridManager::Prepara() {
    MontaGrade();
    LimpaLinhas();
}

// --- rates ----------------------------------------------------------------------------------

void TGridAliquotas::Inicializa() {
    titulos_ = {QStringLiteral("Código"), QStringLiteral("Percentual"), QStringLiteral("Descrição"),
                QStringLiteral("Tipo")};
    for (int c = 0; c < 4; ++c) grade_->DefineCelula(1, c, QString());
}

const RegistroAliquota* TGridAliquotas::ProcuraAliquota(int codigo) const {
    for (const RegistroAliquota& a : aliquotas_)
        if (a.codigo == codigo) return &a;
    return nullptr;
}

RegistroAliquota TGridAliquotas::InterpretaAliquota(const QString& resposta) {
    RegistroAliquota r;
    const QString icms = QStringLiteral("AliquotaICMS=");
    if (int i = resposta.indexOf(icms); i >= 0)
        r.tipo = resposta.mid(i + icms.size(), 1) == QLatin1String("Y") ? QStringLiteral("ICMS")
                                                                        : QStringLiteral("ISSQN");
    const QString cod = QStringLiteral("CodAliquotaProgramavel=");
    if (int i = resposta.indexOf(cod); i >= 0) {
        int inicio = i + cod.size();
        int fim = resposta.indexOf(QLatin1Char(' '), inicio);
        bool ok = false;
        int v = resposta.mid(inicio, fim < 0 ? -1 : fim - inicio).toInt(&ok);
        r.codigo = ok ? v : -1;
    }
    const QString desc = QStringLiteral("DescricaoAliquota=");
    if (int i = resposta.indexOf(desc); i >= 0) {
        int inicio = resposta.indexOf(QLatin1Char('"'), i + desc.size());
        if (inicio >= 0) {
            int fim = resposta.indexOf(QLatin1Char('"'), inicio + 1);
            r.descricao = resposta.mid(inicio + 1, fim < 0 ? -1 : fim - inicio - 1);
        }
    }
    const QString perc = QStringLiteral("PercentualAliquota=");
    if (int i = resposta.indexOf(perc); i >= 0) r.percentual = resposta.mid(i + perc.size());
    return r;
}

void TGridAliquotas::Carrega() {
    Log(QStringLiteral("-> Obtendo Alíquotas Programáveis ..."));
    Prepara();
    if (dll::Tarvo_VerificaImpressoraLigada() < 1) {
        Log(QStringLiteral("<- ") + QString::fromUtf8(kFalhou));
        return;
    }
    aliquotas_.clear();
    LeiturasDaTabela leituras;
    for (int l = 1; l < grade_->Linhas(); ++l) {
        std::string resposta;
        const std::string codigo = grade_->Celula(l, 0).toStdString();
        if (leituras.Conta(dll::LeAliquota(codigo, "", resposta) > 0)) {
            RegistroAliquota r = InterpretaAliquota(DeCp1252(resposta));
            if (r.codigo >= 0) aliquotas_.push_back(r);
        }
    }
    std::stable_sort(
        aliquotas_.begin(), aliquotas_.end(),
        [](const RegistroAliquota& a, const RegistroAliquota& b) { return a.codigo < b.codigo; });
    // A code whose row is outside the grid is not shown.
    for (const RegistroAliquota& a : aliquotas_) {
        const int linha = a.codigo + 1;
        grade_->DefineCelula(linha, 1, QString::fromStdString(FormataAliquota(a.percentual.toStdString())));
        grade_->DefineCelula(linha, 2, a.descricao);
        grade_->DefineCelula(linha, 3, a.tipo);
    }
    LogDesfecho(leituras.Todas());
}

// --- payment methods --------------------------------------------------------------------------

void TGridMeiosPagto::Inicializa() {
    titulos_ = {QStringLiteral("Código"), QStringLiteral("Descrição"), QStringLiteral("Valor Acumulado"),
                QStringLiteral("Valor Ultimo Cupom"), QStringLiteral("Vinculado?")};
    linhaInicial_ = 2;
    grade_->DefineCelula(1, 0, QStringLiteral("-2"));
    for (int c = 1; c <= 4; ++c) grade_->DefineCelula(1, c, QString());
}

void TGridMeiosPagto::InterpretaMeioPagamento(int indice, RegistroMeioPagamento& r, QString& resposta) {
    r.indice = indice;
    r.descricao = resposta.mid(0, 16).trimmed();
    r.valorAcumulado = resposta.mid(16, 20);
    r.valorUltimoCupom = resposta.mid(36, 20);
    r.vinculado = resposta.mid(56, 1) == QLatin1String("1") ? QStringLiteral("Sim") : QStringLiteral("Não");
    resposta.remove(0, 58);
}

QString ValorDoMeioPagamento(const QString& digitos) {
    const QString t = digitos.trimmed();
    if (t.isEmpty()) return {};
    for (QChar c : t)
        if (!c.isDigit()) return {};
    bool ok = false;
    const double v = t.toDouble(&ok) / 100.0;
    return ok ? FormataValor(v) : QString();
}

void TGridMeiosPagto::Carrega() {
    Prepara();
    std::string resposta(3016, ' ');
    Log(QStringLiteral("-> Lendo Formas de Pagamento"));
    if (!TrataRetorno(dll::Tarvo_VerificaFormasPagamento(resposta))) {
        Log(QStringLiteral("<- ") + QString::fromUtf8(kFalhou));
        return;
    }
    meios_.clear();
    QString texto = DeCp1252(resposta);
    for (int i = 0; i <= 16; ++i) {
        RegistroMeioPagamento r;
        InterpretaMeioPagamento(i, r, texto);
        grade_->DefineCelula(i + 1, 1, r.descricao);
        grade_->DefineCelula(i + 1, 2, ValorDoMeioPagamento(r.valorAcumulado));
        grade_->DefineCelula(i + 1, 3, ValorDoMeioPagamento(r.valorUltimoCupom));
        grade_->DefineCelula(i + 1, 4, r.vinculado);
        meios_.push_back(r);
    }
    Log(QStringLiteral("<- ") + QString::fromUtf8(kSucesso));
}

}  // namespace belmora
