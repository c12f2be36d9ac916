#include "test_support.h"

namespace sb::testing {

std::string Crlf(std::initializer_list<const char*> lines) {
  std::string s;
  for (const char* l : lines) {
    s += l;
    s += "\r\n";
  }
  return s;
}

std::string Route(int length, std::initializer_list<const char*> features) {
  std::string s = "[generale]\r\nlunghezza percorso,    " + std::to_string(length) + "\r\n";
  s += "progressiva chilometrica uno,    0,    0,    0\r\n";
  s += "progressiva chilometrica due,    0,    0,    0\r\n";
  s += "progressiva chilometrica tre,    0,    0,    0\r\n";
  s += "sfondo uno,    1\r\nsfondo due,    0\r\nsfondo tre,    0\r\n";
  s += "ripetizione segnali 9 codici,    1500,    360000\r\n[curve]\r\n";
  for (const char* l : features) {
    s += l;
    s += "\r\n";
  }
  s += "[fine]\r\n";
  return s;
}

std::string Train(std::initializer_list<const char*> lines) {
  std::string s = "[generale]\r\n";
  for (const char* l : lines) {
    s += l;
    s += "\r\n";
  }
  s += "[fine]\r\n";
  return s;
}

}  // namespace sb::testing
