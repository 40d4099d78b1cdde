// A reading library that lacks its status entry: every other entry is there and does nothing.
extern "C" __attribute__((visibility("default"))) int DLLReadLeMemorias(const char*, const char*, const char*,
                                                                        int) {
    return 0;
}
extern "C" __attribute__((visibility("default"))) int DLLReadCancelaLeitura() {
    return 0;
}
extern "C" __attribute__((visibility("default"))) int DLLReadDefineBaudRate(int) {
    return 0;
}
