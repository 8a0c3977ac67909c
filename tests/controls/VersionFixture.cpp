// A program that only exists to carry (or not carry) a version note.
int main() {
    return 0;
}
