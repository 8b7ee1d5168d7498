#pragma once

class QLineEdit;

// Hides what is typed behind one "*" per character, as the suite's password boxes show it.
void MaskWithStars(QLineEdit *box);
