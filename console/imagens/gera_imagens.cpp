// Draws the console's menu pictures: for each of the nine groups a button (normal and
// selected, "_f2") and a title strip, as the JPEG files that the main window loads from
// the folder "Imagens". Run at build time: gera_imagens <folder>.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

struct Grupo {
    const char* arquivo;  // "01 - menu_ecf": the rest of the names follow from it
    const char* titulo;
};

const Grupo kGrupos[] = {
    {"01 - %1ecf", "ECF"},
    {"02 - %1operacoes", "Operações"},
    {"03 - %1intervencao", "Intervenção Técnica"},
    {"04 - %1programacoes", "Programações"},
    {"05 - %1status", "Status"},
    {"06 - %1relatorio", "Relatórios"},
    {"07 - %1cupomfiscal", "Cupom Fiscal"},
    {"08 - %1cupomnaofiscal", "Cupom Não Fiscal"},
    {"09 - %1comandos", "Comandos ECF"},
};

constexpr int kBotaoLargura = 176, kBotaoAltura = 44;
constexpr int kTituloLargura = 340, kTituloAltura = 40;

// A round badge with the group's number, the symbol of every picture of the group.
void Emblema(QPainter& p, QRectF r, int numero, QColor fundo, QColor letra) {
    p.setPen(Qt::NoPen);
    p.setBrush(fundo);
    p.drawEllipse(r);
    p.setPen(letra);
    QFont f("DejaVu Sans", 11, QFont::Bold);
    p.setFont(f);
    p.drawText(r, Qt::AlignCenter, QString::number(numero));
}

QImage Botao(int numero, const QString& texto, bool selecionado) {
    QImage img(kBotaoLargura, kBotaoAltura, QImage::Format_RGB32);
    img.fill(QColor(236, 239, 244));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF caixa(2, 2, kBotaoLargura - 4, kBotaoAltura - 4);
    QLinearGradient g(caixa.topLeft(), caixa.bottomLeft());
    if (selecionado) {
        g.setColorAt(0, QColor(255, 214, 120));
        g.setColorAt(1, QColor(232, 150, 30));
    } else {
        g.setColorAt(0, QColor(70, 110, 170));
        g.setColorAt(1, QColor(28, 56, 104));
    }
    QPainterPath forma;
    forma.addRoundedRect(caixa, 8, 8);
    p.fillPath(forma, g);
    p.setPen(QPen(selecionado ? QColor(160, 90, 10) : QColor(15, 30, 60), 1.2));
    p.drawPath(forma);
    Emblema(p, QRectF(9, 9, 26, 26), numero, selecionado ? QColor(120, 60, 0) : QColor(240, 244, 250),
            selecionado ? QColor(255, 230, 170) : QColor(28, 56, 104));
    p.setPen(selecionado ? QColor(60, 30, 0) : Qt::white);
    QFont f("DejaVu Sans", texto.size() > 14 ? 8 : 9, QFont::Bold);
    p.setFont(f);
    p.drawText(QRectF(42, 2, kBotaoLargura - 48, kBotaoAltura - 4),
               Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap, texto);
    return img;
}

QImage Titulo(int numero, const QString& texto) {
    QImage img(kTituloLargura, kTituloAltura, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, kTituloLargura, 0);
    g.setColorAt(0, QColor(28, 56, 104));
    g.setColorAt(0.7, QColor(70, 110, 170));
    g.setColorAt(1, QColor(236, 239, 244));
    p.fillRect(img.rect(), g);
    p.setPen(QPen(QColor(232, 150, 30), 3));
    p.drawLine(0, kTituloAltura - 2, kTituloLargura, kTituloAltura - 2);
    Emblema(p, QRectF(8, 7, 26, 26), numero, QColor(232, 150, 30), Qt::white);
    p.setPen(Qt::white);
    p.setFont(QFont("DejaVu Sans", 13, QFont::Bold));
    p.drawText(QRectF(44, 0, kTituloLargura - 50, kTituloAltura - 3), Qt::AlignVCenter | Qt::AlignLeft,
               texto);
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: gera_imagens <pasta>\n");
        return 2;
    }
    QDir pasta(QString::fromLocal8Bit(argv[1]));
    if (!pasta.mkpath(".")) return 1;
    int numero = 0;
    for (const Grupo& g : kGrupos) {
        ++numero;
        QString base = QString::fromUtf8(g.arquivo);
        QString titulo = QString::fromUtf8(g.titulo);
        const struct {
            QString nome;
            QImage imagem;
        } arquivos[] = {
            {base.arg("menu_") + ".jpg", Botao(numero, titulo, false)},
            {base.arg("menu_") + "_f2.jpg", Botao(numero, titulo, true)},
            {base.arg("titulo_menu_") + ".jpg", Titulo(numero, titulo)},
        };
        for (const auto& a : arquivos) {
            if (!a.imagem.save(pasta.filePath(a.nome), "JPG", 92)) {
                std::fprintf(stderr, "gera_imagens: could not write %s\n",
                             qPrintable(pasta.filePath(a.nome)));
                return 1;
            }
        }
    }
    return 0;
}
