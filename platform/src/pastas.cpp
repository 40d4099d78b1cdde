#include "platform/pastas.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace plataforma {

namespace {

std::string ComBarra(std::string p) {
    if (p.empty() || p.back() != '/') p += '/';
    return p;
}

bool TemDrive(const std::string& t) {
    return t.size() >= 2 && std::isalpha(static_cast<unsigned char>(t[0])) && t[1] == ':';
}

std::string Mapeia(const std::string& texto) {
    std::string t = texto;
    std::replace(t.begin(), t.end(), '\\', '/');
    if (TemDrive(texto)) {
        std::string resto = t.substr(2);
        while (!resto.empty() && resto.front() == '/') resto.erase(resto.begin());
        return PastaPrograma() + resto;
    }
    if (!t.empty() && t.front() == '/') return t;
    return PastaAtual() + t;
}

}  // namespace

std::string PastaPrograma() {
    if (const char* home = std::getenv("TARVO_HOME"); home && *home) return ComBarra(home);
    return PastaExecutavel();
}

std::string PastaExecutavel() {
    // The executable of a process does not change: its folder is read once (every frame
    // locates TARVO.INI there).
    static const std::optional<std::string> pasta = []() -> std::optional<std::string> {
        std::error_code ec;
        fs::path exe = fs::read_symlink("/proc/self/exe", ec);
        if (ec) return std::nullopt;
        return ComBarra(exe.parent_path().string());
    }();
    return pasta ? *pasta : PastaAtual();
}

bool CriaPasta(const std::string& caminho) {
    const std::string pasta = PastaExistente(caminho);
    std::error_code ec;
    fs::create_directories(pasta, ec);
    return ExistePasta(pasta);
}

std::string PastaAtual() {
    std::error_code ec;
    fs::path p = fs::current_path(ec);
    if (ec) return "./";
    return ComBarra(p.string());
}

std::vector<std::string> PastasDoSistema() {
    return {"/etc/tarvo/", "/etc/"};
}

std::string ConvertePasta(const std::string& texto) {
    return PastaExistente(Mapeia(texto));
}

std::string ConverteArquivo(const std::string& texto) {
    return Mapeia(texto);
}

bool ExisteArquivo(const std::string& caminho) {
    std::error_code ec;
    return !caminho.empty() && fs::is_regular_file(caminho, ec);
}

bool PastaGravavel(const std::string& pasta) {
    return ExistePasta(pasta) && ::access(pasta.c_str(), W_OK | X_OK) == 0;
}

bool ExistePasta(const std::string& caminho) {
    std::error_code ec;
    return !caminho.empty() && fs::is_directory(caminho, ec);
}

std::string PastaPrivada(const std::string& caminho) {
    std::string p = caminho;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    ::mkdir(p.c_str(), 0700);
    struct stat st {};
    if (::lstat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
        (st.st_mode & (S_IWGRP | S_IWOTH)) == 0)
        return ComBarra(p);
    std::string modelo = p + "-XXXXXX";
    if (!::mkdtemp(modelo.data())) return "";
    return ComBarra(modelo);
}

std::optional<std::uint64_t> TamanhoDe(const std::string& caminho) {
    struct stat st {};
    if (::stat(caminho.c_str(), &st) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

namespace {

bool MesmoNomeSemCaixa(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::string ArquivoNaPasta(const std::string& pasta, const std::string& nome) {
    std::string base = ComBarra(pasta);
    if (ExisteArquivo(base + nome)) return base + nome;
    std::error_code ec;
    for (fs::directory_iterator it(base, ec), fim; !ec && it != fim; it.increment(ec)) {
        std::string n = it->path().filename().string();
        if (MesmoNomeSemCaixa(n, nome)) return base + n;
    }
    return base + nome;
}

std::string PastaNaPasta(const std::string& pasta, const std::string& nome) {
    const std::string base = ComBarra(pasta);
    std::string achada;
    std::error_code ec;
    for (fs::directory_iterator it(base, ec), fim; !ec && it != fim; it.increment(ec)) {
        std::string n = it->path().filename().string();
        if (MesmoNomeSemCaixa(n, nome) && (achada.empty() || n < achada) && it->is_directory(ec)) achada = n;
    }
    return base + (achada.empty() ? nome : achada) + "/";
}

std::string PastaExistente(const std::string& caminho) {
    std::string p = caminho;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    const auto barra = p.find_last_of('/');
    if (barra == std::string::npos || barra + 1 >= p.size()) return ComBarra(p);
    return PastaNaPasta(p.substr(0, barra + 1), p.substr(barra + 1));
}

std::vector<std::string> OutrasGrafias(const std::string& pasta, const std::string& nome) {
    std::vector<std::string> outros;
    std::error_code ec;
    for (fs::directory_iterator it(ComBarra(pasta), ec), fim; !ec && it != fim; it.increment(ec)) {
        std::string n = it->path().filename().string();
        if (n != nome && MesmoNomeSemCaixa(n, nome)) outros.push_back(std::move(n));
    }
    return outros;
}

std::string PastaDe(const std::string& caminho) {
    auto p = caminho.find_last_of('/');
    if (p == std::string::npos) return "";
    return caminho.substr(0, p + 1);
}

}  // namespace plataforma
