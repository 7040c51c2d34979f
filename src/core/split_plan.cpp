#include "core/split_plan.h"

#include <algorithm>
#include <cstdio>

#include "core/cp1252.h"
#include "core/fileio.h"

namespace kursolin {

namespace {

int decimalDigits(int v) {
  int digits = 1;
  while (v >= 10) {
    v /= 10;
    ++digits;
  }
  return digits;
}

}  // namespace

SplitPlan planSplitOver(int count, int perFile) {
  count = std::max(0, count);
  SplitPlan plan;
  plan.SplitSize = std::max(1, perFile);
  plan.SplitFiles = count / plan.SplitSize;
  plan.SplitRest = count % plan.SplitSize;
  plan.SplitRestFile = plan.SplitRest > 0;
  return plan;
}

std::string partFileSuffix(int i, int splitFiles) {
  if (i <= 1) return {};
  char digits[24];
  std::snprintf(digits, sizeof digits, "%.*d", decimalDigits(std::max(splitFiles, 0)), i - 1);
  return std::string("_") + digits;
}

std::string partFileName(const std::string& chosen, int i, int splitFiles) {
  if (i <= 1) return chosen;
  const std::string suffix = partFileSuffix(i, splitFiles);
  // Only the file name takes the suffix; the folder must stay the one chosen.
  const std::string folder = folderOf(chosen);
  std::string name = nameOf(chosen);
  if (name.size() >= 4) {
    name.insert(name.size() - 4, suffix);
  } else {
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) {
      name.insert(dot, suffix);
    } else {
      name += suffix;
    }
  }
  return folder + name;
}

bool splitPlanNameable(int splitFiles) { return splitFiles < 10000; }

std::string splitTooManyFilesText(const SplitPlan& plan) {
  return "Mit " + std::to_string(plan.SplitSize) +
         " Routenpunkten je Datei würde die Route in "_cp + std::to_string(plan.fileCount()) +
         " Dateien aufgeteilt; so viele Teildateien können nicht benannt werden (höchstens 10000)."_cp +
         '\r' + "Bitte mehr Routenpunkte je Datei wählen. Es wurde keine Datei geschrieben."_cp;
}

}  // namespace kursolin
