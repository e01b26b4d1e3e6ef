// Recognises the kind of a product from its ID (exact, case-sensitive texts).
#pragma once
#include <string>

// "Veltrona Manual", or "Veltrona Manual" followed by exactly two characters whose leading number
// lies between 2 and 30 ("Veltrona Manual02", "Veltrona Manual30").
bool IsVeltronaManual(const std::wstring& name);

// N for "Veltrona OCR LangPack<N>" with N from 1 to 5, else 0.
int OcrLangPackNumber(const std::wstring& id);
