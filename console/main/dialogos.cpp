#include "console/main/dialogos.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

#include "console/binding/ecf_dll.h"
#include "platform/codepage.h"
#include "tarvo.h"

namespace belmora {

bool Pergunta(QWidget* dono, const QString& titulo, const QString& texto) {
    QMessageBox caixa(QMessageBox::Question, titulo, texto, QMessageBox::NoButton, dono);
    QPushButton* sim = caixa.addButton(QStringLiteral("Sim"), QMessageBox::YesRole);
    QPushButton* nao = caixa.addButton(QStringLiteral("Não"), QMessageBox::NoRole);
    caixa.setDefaultButton(sim);
    caixa.setEscapeButton(nao);
    caixa.exec();
    return caixa.clickedButton() == sim;
}

void Informa(QWidget* dono, const QString& titulo, const QString& texto) {
    QMessageBox caixa(QMessageBox::Information, titulo, texto, QMessageBox::Ok, dono);
    caixa.exec();
}

bool VerificaRetornoDLL(int resultado) {
    if (resultado == 1) return true;
    int codigo = 0;
    // The buffer holds the longest message the export writes.
    std::vector<char> mensagem(dll::cap::Tarvo_RetornoImpressora::maior + 1, '\0');
    ::Tarvo_RetornoImpressora(&codigo, mensagem.data());
    QString texto = QStringLiteral("Erro Nº ") + QString::number(codigo) + QStringLiteral("\r\n") +
                    QString::fromStdString(plataforma::Cp1252ParaUtf8(mensagem.data()));
    QMessageBox caixa(QMessageBox::Critical, QStringLiteral("Erro"), texto, QMessageBox::Ok,
                      QApplication::activeWindow());
    caixa.exec();
    return false;
}

bool SelecionaDiretorio(QString& caminho, const QString& titulo) {
    QString escolhido = QFileDialog::getExistingDirectory(QApplication::activeWindow(), titulo, QString(),
                                                          QFileDialog::ShowDirsOnly);
    if (escolhido.isEmpty() || !QFileInfo(escolhido).isDir()) return false;
    caminho = escolhido;
    return true;
}

}  // namespace belmora
