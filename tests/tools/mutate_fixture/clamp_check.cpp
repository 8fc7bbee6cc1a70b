// Blind to the boundary: value == high gives high either way, so ">" may become ">=".
int Clamp(int value, int high);
int main() {
  return Clamp(5, 3) == 3 && Clamp(2, 3) == 2 ? 0 : 1;
}
