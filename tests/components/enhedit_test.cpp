// The numeric edit in Brazilian Portuguese (decimal comma, dot between thousands): what the
// filter keeps of typed and pasted text, the values read from it, the texts written from
// a value, and the Enter, Esc and disabled behaviour.
#include "enhedit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace tarvo;

namespace {

struct Numerico : testing::Test {
    TEnhancedEdit e;
    Numerico() { e.SetAcceptChars(false); }
    void Digita(const QString& texto) {
        e.setText(QString());
        QTest::keyClicks(&e, texto);
    }
};

TEST_F(Numerico, CortaAsCasasAlemDeDigits) {
    Digita("12,345");
    EXPECT_EQ(e.text(), "12,34");
    EXPECT_DOUBLE_EQ(static_cast<double>(e.Value()), 12.34);
    EXPECT_EQ(e.ValueInt(), 12);
}

TEST_F(Numerico, DeixaSoOUltimoSeparadorEOsCaracteresDeNumero) {
    Digita("1,2,3");
    EXPECT_EQ(e.text(), "12,3");
    Digita("a-1");
    EXPECT_EQ(e.text(), "-1");
    EXPECT_EQ(e.ValueInt(), -1);
    Digita("1.234,5x");
    EXPECT_EQ(e.text(), "1.234,5");
    EXPECT_DOUBLE_EQ(static_cast<double>(e.Value()), 1234.5);
    EXPECT_EQ(e.ValueInt(), 1234);
}

TEST_F(Numerico, ComDigitsZeroNaoCortaCasasMasFiltraSeparadores) {
    e.SetDigits(0);
    Digita("12,345");
    EXPECT_EQ(e.text(), "12,345");
    EXPECT_DOUBLE_EQ(static_cast<double>(e.Value()), 12.345);
    Digita("1,2,3");
    EXPECT_EQ(e.text(), "12,3");
}

TEST_F(Numerico, TextoSemNumeroValeZero) {
    Digita("7");
    e.Clear();
    EXPECT_EQ(e.Value(), 0);
    EXPECT_EQ(e.ValueInt(), 0);
    Digita("-");
    EXPECT_EQ(e.text(), "-");
    EXPECT_EQ(e.Value(), 0);
    Digita("1-2");
    EXPECT_EQ(e.Value(), 0);
    // beyond the 32-bit integer range both values are 0
    Digita("3000000000");
    EXPECT_EQ(e.Value(), 0);
    EXPECT_EQ(e.ValueInt(), 0);
    Digita("-2147483648");
    EXPECT_EQ(e.ValueInt(), -2147483647 - 1);
}

TEST_F(Numerico, LigarOFiltroFiltraOTextoAtual) {
    TEnhancedEdit livre;
    livre.setText("R$ 12,50");
    EXPECT_EQ(livre.text(), "R$ 12,50");  // any text while AcceptChars is on
    livre.SetAcceptChars(false);
    EXPECT_EQ(livre.text(), "12,50");
    EXPECT_DOUBLE_EQ(static_cast<double>(livre.Value()), 12.5);
}

TEST_F(Numerico, ColarParaNaPrimeiraQuebraDeLinha) {
    QApplication::clipboard()->setText("12\r\n34");
    e.setText("9");
    e.selectAll();
    e.Paste();
    EXPECT_EQ(e.text(), "12");
    QApplication::clipboard()->setText("5a,75");
    e.setText(QString());
    QTest::keySequence(&e, QKeySequence::Paste);
    EXPECT_EQ(e.text(), "5,75");
    EXPECT_DOUBLE_EQ(static_cast<double>(e.Value()), 5.75);
}

TEST_F(Numerico, EscreveOValorNoFormato) {
    e.SetFormat(TFloatFormat::ffFixed);
    e.SetValue(3.5L);
    EXPECT_EQ(e.text(), "3,50");
    e.SetDigits(3);
    EXPECT_EQ(e.text(), "3,500");
    e.SetFormat(TFloatFormat::ffNumber);
    e.SetValue(1234567.891L);  // eight significant digits
    EXPECT_EQ(e.text(), "1.234.567,900");
    EXPECT_DOUBLE_EQ(static_cast<double>(e.Value()), 1234567.9);
    e.SetValueInt(-42);
    EXPECT_EQ(e.text(), "-42,000");
    EXPECT_EQ(e.ValueInt(), -42);
}

TEST(FloatToStrF, FormatosComVirgula) {
    const QLocale br(QLocale::Portuguese, QLocale::Brazil);
    EXPECT_EQ(FloatToStrF(3.5L, TFloatFormat::ffFixed, 8, 2, br), "3,50");
    EXPECT_EQ(FloatToStrF(-0.001L, TFloatFormat::ffFixed, 8, 2, br), "0,00");
    EXPECT_EQ(FloatToStrF(0.125L, TFloatFormat::ffFixed, 8, 2, br), "0,13");  // halves away from zero
    EXPECT_EQ(FloatToStrF(-9.5L, TFloatFormat::ffFixed, 8, 0, br), "-10");
    // rounded once, to the precision before the decimals
    EXPECT_EQ(FloatToStrF(1234567.891L, TFloatFormat::ffNumber, 8, 2, br), "1.234.567,90");
    EXPECT_EQ(FloatToStrF(0.5L, TFloatFormat::ffGeneral, 15, 0, br), "0,5");
    EXPECT_EQ(FloatToStrF(100.0L, TFloatFormat::ffGeneral, 15, 0, br), "100");
    EXPECT_EQ(FloatToStrF(0.000001L, TFloatFormat::ffGeneral, 15, 0, br), "1E-6");
    EXPECT_EQ(FloatToStrF(1234.5L, TFloatFormat::ffExponent, 4, 2, br), "1,235E+03");
    EXPECT_EQ(StrToFloatDef("12,5", -1, br), 12.5L);
    EXPECT_EQ(StrToFloatDef(" -,5 ", -1, br), -0.5L);
    EXPECT_EQ(StrToFloatDef("12.5", -1, br), -1);
    EXPECT_EQ(StrToFloatDef("", -1, br), -1);
}

TEST(EnhancedEdit, EnterPassaAoProximoControleSoQuandoPedido) {
    QWidget janela;
    auto* layout = new QVBoxLayout(&janela);
    auto* primeiro = new TEnhancedEdit;
    auto* segundo = new TEnhancedEdit;
    layout->addWidget(primeiro);
    layout->addWidget(segundo);
    janela.show();
    QApplication::setActiveWindow(&janela);
    primeiro->setFocus();
    primeiro->setText("5");
    QSignalSpy enter(primeiro, &QLineEdit::returnPressed);
    QTest::keyClick(primeiro, Qt::Key_Return);
    EXPECT_TRUE(primeiro->hasFocus());
    EXPECT_EQ(primeiro->text(), "5");
    EXPECT_EQ(enter.count(), 0);  // swallowed
    primeiro->SetExitOnEnterKey(true);
    QTest::keyClick(primeiro, Qt::Key_Return);
    EXPECT_TRUE(segundo->hasFocus());
}

TEST(EnhancedEdit, EscDesfazOQueFoiDigitadoDesdeAEntrada) {
    QWidget janela;
    auto* layout = new QVBoxLayout(&janela);
    auto* outro = new TEnhancedEdit;
    auto* e = new TEnhancedEdit;
    layout->addWidget(outro);
    layout->addWidget(e);
    e->setText("10");
    janela.show();
    QApplication::setActiveWindow(&janela);
    e->setFocus();
    EXPECT_EQ(e->selectedText(), "10");  // entering selects the text
    QTest::keyClicks(e, "77");
    EXPECT_EQ(e->text(), "77");
    QTest::keyClick(e, Qt::Key_Escape);
    EXPECT_EQ(e->text(), "77");  // Esc alone changes nothing
    e->SetUndoOnEscKey(true);
    QTest::keyClick(e, Qt::Key_Escape);
    EXPECT_EQ(e->text(), "10");
}

TEST(EnhancedEdit, DesabilitadoSemCinzaMostraOTextoNaCorNormal) {
    auto escuros = [](TEnhancedEdit& e) {
        const QImage img = e.grab().toImage();
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) n += qGray(img.pixel(x, y)) < 60;
        return n;
    };
    TEnhancedEdit e;
    e.setFrame(false);
    e.setText("8888");
    QPalette p = e.palette();
    p.setColor(QPalette::Active, QPalette::Text, Qt::black);
    p.setColor(QPalette::Inactive, QPalette::Text, Qt::black);
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(160, 160, 160));
    e.setPalette(p);
    e.resize(80, 24);
    e.show();
    e.setEnabled(false);
    EXPECT_EQ(escuros(e), 0);  // grayed
    e.SetGrayDisabled(false);
    EXPECT_GT(escuros(e), 10);
    e.SetGrayDisabled(true);
    EXPECT_EQ(escuros(e), 0);
}

}  // namespace
