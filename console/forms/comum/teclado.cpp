#include "console/forms/comum/teclado.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <algorithm>

#include "console/forms/comum/formulario.h"

namespace belmora {

namespace {

// A widget that takes the focus itself and whose children only serve it.
bool Composto(const QWidget* w) {
    return qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
           qobject_cast<const QTextEdit*>(w);
}

// An auto-exclusive radio button that is not the one stop of its group: another button of the
// group is checked, or none is and this one is not the first.
bool RadioSemParada(const QRadioButton* r) {
    if (!r->autoExclusive() || r->isChecked() || !r->parentWidget()) return false;
    const QList<QRadioButton*> irmaos =
        r->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
    const QRadioButton* primeiro = nullptr;
    for (const QRadioButton* i : irmaos) {
        if (!i->autoExclusive() || !i->isVisible()) continue;
        if (i->isChecked()) return true;
        if (!primeiro) primeiro = i;
    }
    return primeiro != r;
}

// Inside a compound widget (a list's pop-up, a date field's calendar, a cell editor).
bool DentroDeComposto(const QWidget* w) {
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (Composto(p)) return true;
    return false;
}

// A stop of the Tab path: takes the focus by Tab, enabled, and takes it itself or through a
// widget of its own (a spin box's edit).
bool Parada(QWidget* w) {
    if (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled() || qobject_cast<QScrollBar*>(w)) return false;
    if (QWidget* proxy = w->focusProxy(); proxy && !w->isAncestorOf(proxy)) return false;
    if (auto* r = qobject_cast<QRadioButton*>(w); r && RadioSemParada(r)) return false;
    return true;
}

struct Lugar {
    QWidget* w;
    QRect r;
};

// Sorts by rows of the screen: a widget whose top is above the middle of the first widget of
// the row belongs to that row; a row is read left to right.
void OrdenaPorLinhas(std::vector<Lugar>& lugares) {
    std::stable_sort(lugares.begin(), lugares.end(), [](const Lugar& a, const Lugar& b) {
        if (a.r.top() != b.r.top()) return a.r.top() < b.r.top();
        return a.r.left() < b.r.left();
    });
    std::size_t inicio = 0;
    while (inicio < lugares.size()) {
        const int meio = lugares[inicio].r.center().y();
        std::size_t fim = inicio + 1;
        while (fim < lugares.size() && lugares[fim].r.top() < meio) ++fim;
        std::stable_sort(lugares.begin() + static_cast<std::ptrdiff_t>(inicio),
                         lugares.begin() + static_cast<std::ptrdiff_t>(fim),
                         [](const Lugar& a, const Lugar& b) { return a.r.left() < b.r.left(); });
        inicio = fim;
    }
}

// The stops under `pai`: its children in the order of the screen, each followed by the stops
// inside it, so that a group box or a column of the form is walked as one block.
void Junta(QWidget* pai, QWidget* raiz, QList<QWidget*>& caminho) {
    std::vector<Lugar> filhos;
    for (QWidget* w : pai->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!w->isWindow() && w->isVisibleTo(raiz)) filhos.push_back({w, w->geometry()});
    OrdenaPorLinhas(filhos);
    for (const Lugar& f : filhos) {
        if (Parada(f.w)) caminho << f.w;
        if (!Composto(f.w)) Junta(f.w, raiz, caminho);
    }
}

// Enter in a grid or list: edits an editable cell, else acts as a double click on the current
// row; in both cases the key stays in the grid (a dialog's default button does not fire).
class FiltroEnter : public QObject {
  public:
    explicit FiltroEnter(QAbstractItemView* v) : QObject(v), v_(v) {}

  protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o != v_ || e->type() != QEvent::KeyPress) return false;
        auto* k = static_cast<QKeyEvent*>(e);
        if ((k->key() != Qt::Key_Return && k->key() != Qt::Key_Enter) ||
            (k->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        // Come up from a cell editor: the editor has taken it (and closes itself).
        if (QWidget* f = QApplication::focusWidget(); f && f != v_ && v_->isAncestorOf(f)) return true;
        const QModelIndex i = v_->currentIndex();
        if (!i.isValid()) return true;
        if ((i.flags() & Qt::ItemIsEditable) && v_->editTriggers() != QAbstractItemView::NoEditTriggers) {
            v_->edit(i);
            return true;
        }
        emit v_->doubleClicked(i);
        return true;
    }

  private:
    QAbstractItemView* v_;
};

void PreparaGrade(QAbstractItemView* v) {
    if (v->property("tecladoPreparado").toBool()) return;
    v->setProperty("tecladoPreparado", true);
    v->setTabKeyNavigation(false);
    // A stored-lines list removes its entry on a double click: Enter does not do that. A grid
    // that gives Enter a meaning of its own says so with the property "teclaEnterPropria".
    if (!qobject_cast<TListaCadastrada*>(v) && !v->property("teclaEnterPropria").toBool())
        v->installEventFilter(new FiltroEnter(v));
    if (v->selectionMode() == QAbstractItemView::SingleSelection && v->selectionModel()) {
        QObject::connect(v->selectionModel(), &QItemSelectionModel::currentChanged, v,
                         [v](const QModelIndex& atual) {
                             QItemSelectionModel* s = v->selectionModel();
                             if (!atual.isValid() || s->isSelected(atual)) return;
                             QItemSelectionModel::SelectionFlags modo = QItemSelectionModel::ClearAndSelect;
                             if (v->selectionBehavior() == QAbstractItemView::SelectRows)
                                 modo |= QItemSelectionModel::Rows;
                             s->select(atual, modo);
                         });
    }
}

void AjustaCabecalhos(QTableView* t) {
    QHeaderView* h = t->horizontalHeader();
    for (int c = 0; c < h->count(); ++c) {
        if (h->sectionResizeMode(c) == QHeaderView::Stretch || h->isSectionHidden(c)) continue;
        const int largura = h->sectionSizeHint(c);
        if (h->sectionSize(c) < largura) h->resizeSection(c, largura);
    }
}

void AjustaLargura(QLineEdit* e) {
    if (e->property("larguraAjustada").toBool()) return;
    const int n = e->maxLength();
    if (n <= 0 || n >= 32767 || DentroDeComposto(e)) return;
    e->setProperty("larguraAjustada", true);
    const QFontMetrics fm(e->font());
    // Room for the characters, one more for the cursor, and the frame's margins.
    const int largura = fm.horizontalAdvance(QLatin1Char('0')) * (std::max(n, 4) + 1) + 16;
    e->setMaximumWidth(std::max(largura, e->minimumSizeHint().width()));
}

}  // namespace

QList<QWidget*> CaminhoTab(QWidget* raiz) {
    QList<QWidget*> caminho;
    Junta(raiz, raiz, caminho);
    return caminho;
}

bool MoveFoco(const QList<QWidget*>& caminho, bool adiante) {
    if (caminho.isEmpty()) return false;
    qsizetype atual = -1;
    for (QWidget* f = QApplication::focusWidget(); f && atual < 0; f = f->parentWidget())
        atual = caminho.indexOf(f);
    qsizetype proximo;
    if (atual < 0)
        proximo = adiante ? 0 : caminho.size() - 1;
    else
        proximo = (atual + (adiante ? 1 : caminho.size() - 1)) % caminho.size();
    QWidget* destino = caminho[proximo];
    destino->setFocus(adiante ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    for (QWidget* p = destino->parentWidget(); p; p = p->parentWidget())
        if (auto* a = qobject_cast<QScrollArea*>(p)) a->ensureWidgetVisible(destino);
    return true;
}

void PreparaTeclado(QWidget* raiz) {
    for (QAbstractItemView* v : raiz->findChildren<QAbstractItemView*>()) {
        if (DentroDeComposto(v)) continue;
        PreparaGrade(v);
        if (auto* t = qobject_cast<QTableView*>(v)) AjustaCabecalhos(t);
    }
    for (QLineEdit* e : raiz->findChildren<QLineEdit*>()) AjustaLargura(e);
    for (QTabWidget* t : raiz->findChildren<QTabWidget*>()) {
        t->setUsesScrollButtons(true);
        t->setElideMode(Qt::ElideNone);
    }
}

}  // namespace belmora
