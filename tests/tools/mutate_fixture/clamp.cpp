// The mutation check's fixture: of its two possible changes, the check below catches one.
int Clamp(int value, int high) {
  return value > high ? high : value;
}
