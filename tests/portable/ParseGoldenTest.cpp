// Golden token trees of whole parses, grouped by construct. Each tree is
// the dump without its box fields and "TK_" prefixes (see CompactDump).
#include <gtest/gtest.h>

#include "tests/portable/EngineTestSupport.h"

namespace {

struct GoldenCase {
  const char* text;
  const char* tree;
};

// A fraction's rows each hold one invisible bracket group.
const GoldenCase kFractions[] = {
    {"1/2", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "1"
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "2"
)~"},
    {"a/b/c", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - VARIABLE "a"
 2 0 - FRACTION
 2  1 0 - BRACKETS ","
 2  1  1 0 - VARIABLE "b"
 2  2 0 - BRACKETS ","
 2  2  1 0 - VARIABLE "c"
)~"},
    {"(a+b)/c", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - VARIABLE "a"
 1  1 1 - ADD "+"
 1  1 2 - VARIABLE "b"
 2 0 - BRACKETS ","
 2  1 0 - VARIABLE "c"
)~"},
    {"/2", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - SPACE " "
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "2"
)~"},
    {"2x+1/3", R"~(
0 - NUMBER "2"
1 - VARIABLE "x"
2 - ADD "+"
3 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "1"
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "3"
)~"},
    {"x^2/3", R"~(
0 - VARIABLE "x"
1 - POWER
 1 0 - FRACTION
 1  1 0 - BRACKETS ","
 1  1  1 0 - NUMBER "2"
 1  2 0 - BRACKETS ","
 1  2  1 0 - NUMBER "3"
)~"},
    {"1/(a+b)^2", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "1"
 2 0 - BRACKETS ","
 2  1 0 - BRACKETS "(,)"
 2  1  1 0 - VARIABLE "a"
 2  1  1 1 - ADD "+"
 2  1  1 2 - VARIABLE "b"
 2  1 1 - POWER
 2  1  1 0 - BRACKETS ","
 2  1  1  1 0 - NUMBER "2"
)~"},
    {"1/x^2", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "1"
 2 0 - BRACKETS ","
 2  1 0 - VARIABLE "x"
 2  1 1 - POWER
 2  1  1 0 - BRACKETS ","
 2  1  1  1 0 - NUMBER "2"
)~"},
    {"2^n/3^n", R"~(
0 - NUMBER "2"
1 - POWER
 1 0 - FRACTION
 1  1 0 - BRACKETS ","
 1  1  1 0 - VARIABLE "n"
 1  2 0 - BRACKETS ","
 1  2  1 0 - NUMBER "3"
 1  2  1 1 - POWER
 1  2  1  1 0 - BRACKETS ","
 1  2  1  1  1 0 - VARIABLE "n"
)~"},
    {"e^x/2", R"~(
0 - VARIABLE "e"
1 - POWER
 1 0 - FRACTION
 1  1 0 - BRACKETS ","
 1  1  1 0 - VARIABLE "x"
 1  2 0 - BRACKETS ","
 1  2  1 0 - NUMBER "2"
)~"},
    // Brackets typed right after a word or a script mark belong to its
    // construct, and "/" takes the construct whole, as it does a function
    // with its argument and a factorial.
    {"e^(x)/2", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - VARIABLE "e"
 1  1 1 - POWER
 1  1  1 0 - BRACKETS ","
 1  1  1  1 0 - VARIABLE "x"
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "2"
)~"},
    {"sqrt(a)/2", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - BRACKETS ","
 1  1  1 0 - SQRT
 1  1  1  1 0 - BRACKETS ","
 1  1  1  1  1 0 - VARIABLE "a"
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "2"
)~"},
    {"1/sqrt(x)", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "1"
 2 0 - BRACKETS ","
 2  1 0 - BRACKETS ","
 2  1  1 0 - SQRT
 2  1  1  1 0 - BRACKETS ","
 2  1  1  1  1 0 - VARIABLE "x"
)~"},
    {"sqrt(a/b)=sqrt(a)/sqrt(b)", R"~(
0 - BRACKETS ","
 1 0 - SQRT
 1  1 0 - BRACKETS ","
 1  1  1 0 - FRACTION
 1  1  1  1 0 - BRACKETS ","
 1  1  1  1  1 0 - VARIABLE "a"
 1  1  1  2 0 - BRACKETS ","
 1  1  1  2  1 0 - VARIABLE "b"
1 - EQUAL "="
2 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - BRACKETS ","
 1  1  1 0 - SQRT
 1  1  1  1 0 - BRACKETS ","
 1  1  1  1  1 0 - VARIABLE "a"
 2 0 - BRACKETS ","
 2  1 0 - BRACKETS ","
 2  1  1 0 - SQRT
 2  1  1  1 0 - BRACKETS ","
 2  1  1  1  1 0 - VARIABLE "b"
)~"},
    {"sin(x)/2", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - BRACKETS ","
 1  1  1 0 - FUNCTION "sin"
 1  1  1 1 - BRACKETS "(,)"
 1  1  1  1 0 - VARIABLE "x"
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "2"
)~"},
    {"a/sin A", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - VARIABLE "a"
 2 0 - BRACKETS ","
 2  1 0 - BRACKETS ","
 2  1  1 0 - FUNCTION "sin"
 2  1  1 1 - SPACE " "
 2  1  1 2 - BRACKETS ","
 2  1  1  1 0 - VARIABLE "A"
)~"},
    {"3root(8)/2", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - BRACKETS ","
 1  1  1 0 - ROOT
 1  1  1  1 0 - BRACKETS ","
 1  1  1  1  1 0 - NUMBER "8"
 1  1  1  2 0 - BRACKETS ","
 1  1  1  2  1 0 - NUMBER "3"
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "2"
)~"},
    {"n!/(r!(n-r)!)", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - VARIABLE "n"
 1  1 1 - RAW "!"
 2 0 - BRACKETS ","
 2  1 0 - VARIABLE "r"
 2  1 1 - RAW "!"
 2  1 2 - BRACKETS "(,)"
 2  1  1 0 - VARIABLE "n"
 2  1  1 1 - SUBTRACT "-"
 2  1  1 2 - VARIABLE "r"
 2  1 3 - RAW "!"
)~"},
    {"1/(n-r)!", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "1"
 2 0 - BRACKETS ","
 2  1 0 - BRACKETS "(,)"
 2  1  1 0 - VARIABLE "n"
 2  1  1 1 - SUBTRACT "-"
 2  1  1 2 - VARIABLE "r"
 2  1 1 - RAW "!"
)~"},
    {"x^3/3!", R"~(
0 - VARIABLE "x"
1 - POWER
 1 0 - FRACTION
 1  1 0 - BRACKETS ","
 1  1  1 0 - NUMBER "3"
 1  2 0 - BRACKETS ","
 1  2  1 0 - NUMBER "3"
 1  2  1 1 - RAW "!"
)~"},
    {"a/b^", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - VARIABLE "a"
 2 0 - BRACKETS ","
 2  1 0 - VARIABLE "b"
 2  1 1 - POWER
 2  1  1 0 - BRACKETS ","
 2  1  1  1 0 - SPACE " "
)~"},
};

// Powers and subscripts take the bracket group after their mark.
const GoldenCase kScripts[] = {
    {"x^2^3", R"~(
0 - VARIABLE "x"
1 - POWER
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "2"
 1  1 1 - POWER
 1  1  1 0 - BRACKETS ","
 1  1  1  1 0 - NUMBER "3"
)~"},
    {"x^ab+1", R"~(
0 - VARIABLE "x"
1 - POWER
 1 0 - BRACKETS ","
 1  1 0 - VARIABLE "a"
 1  1 1 - VARIABLE "b"
2 - ADD "+"
3 - NUMBER "1"
)~"},
    {"(a)^2", R"~(
0 - BRACKETS ","
 1 0 - BRACKETS "(,)"
 1  1 0 - VARIABLE "a"
 1 1 - POWER
 1  1 0 - BRACKETS ","
 1  1  1 0 - NUMBER "2"
)~"},
    {"x^(a+b)", R"~(
0 - VARIABLE "x"
1 - POWER
 1 0 - BRACKETS ","
 1  1 0 - VARIABLE "a"
 1  1 1 - ADD "+"
 1  1 2 - VARIABLE "b"
)~"},
    {"x^-1", R"~(
0 - VARIABLE "x"
1 - POWER
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "-1"
)~"},
    {"x=A^-1b", R"~(
0 - VARIABLE "x"
1 - EQUAL "="
2 - VARIABLE "A"
3 - POWER
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "-1"
 1  1 1 - VARIABLE "b"
)~"},
    {"x^-", R"~(
0 - VARIABLE "x"
1 - POWER
 1 0 - BRACKETS ","
 1  1 0 - SPACE " "
2 - SUBTRACT "-"
)~"},
    {"x\\2", R"~(
0 - VARIABLE "x"
1 - SUBSCRIPT
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "2"
)~"},
    {"x^a^(b+c)", R"~(
0 - VARIABLE "x"
1 - POWER
 1 0 - BRACKETS ","
 1  1 0 - VARIABLE "a"
 1  1 1 - POWER
 1  1  1 0 - BRACKETS ","
 1  1  1  1 0 - VARIABLE "b"
 1  1  1  1 1 - ADD "+"
 1  1  1  1 2 - VARIABLE "c"
)~"},
    {"sin x^(a+b)", R"~(
0 - BRACKETS ","
 1 0 - FUNCTION "sin"
 1 1 - SPACE " "
 1 2 - BRACKETS ","
 1  1 0 - VARIABLE "x"
 1  1 1 - POWER
 1  1  1 0 - BRACKETS ","
 1  1  1  1 0 - VARIABLE "a"
 1  1  1  1 1 - ADD "+"
 1  1  1  1 2 - VARIABLE "b"
)~"},
};

// Implicit powers and function arguments.
const GoldenCase kImplicitPowers[] = {
    {"x2", R"~(
0 - VARIABLE "x"
1 - POWER
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "2"
)~"},
    {"cm3", R"~(
0 - UNIT "cm"
1 - POWER
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "3"
)~"},
    {"log2x", R"~(
0 - BRACKETS ","
 1 0 - FUNCTION "log"
 1 1 - SUBSCRIPT
 1  1 0 - BRACKETS ","
 1  1  1 0 - NUMBER "2"
 1 2 - BRACKETS ","
 1  1 0 - VARIABLE "x"
)~"},
    {"sin2x", R"~(
0 - BRACKETS ","
 1 0 - FUNCTION "sin"
 1 1 - POWER
 1  1 0 - BRACKETS ","
 1  1  1 0 - NUMBER "2"
 1 2 - BRACKETS ","
 1  1 0 - VARIABLE "x"
)~"},
    {"sin 2x + 1", R"~(
0 - BRACKETS ","
 1 0 - FUNCTION "sin"
 1 1 - SPACE " "
 1 2 - BRACKETS ","
 1  1 0 - NUMBER "2"
 1  1 1 - VARIABLE "x"
1 - SPACE " "
2 - ADD "+"
3 - SPACE " "
4 - NUMBER "1"
)~"},
    {"cos30o", R"~(
0 - BRACKETS ","
 1 0 - FUNCTION "cos"
 1 1 - BRACKETS ","
 1  1 0 - NUMBER "30"
1 - DEGREE "o"
)~"},
    {"log2 8", R"~(
0 - BRACKETS ","
 1 0 - FUNCTION "log"
 1 1 - SUBSCRIPT
 1  1 0 - BRACKETS ","
 1  1  1 0 - NUMBER "2"
 1 2 - SPACE " "
 1 3 - BRACKETS ","
 1  1 0 - NUMBER "8"
)~"},
    {"sin x y", R"~(
0 - BRACKETS ","
 1 0 - FUNCTION "sin"
 1 1 - SPACE " "
 1 2 - BRACKETS ","
 1  1 0 - VARIABLE "x"
1 - SPACE " "
2 - VARIABLE "y"
)~"},
    {"sin", R"~(
0 - BRACKETS ","
 1 0 - FUNCTION "sin"
 1 1 - BRACKETS ","
 1  1 0 - SPACE " "
)~"},
    {"sqrt x", R"~(
0 - BRACKETS ","
 1 0 - SQRT
 1  1 0 - BRACKETS ","
 1  1  1 0 - VARIABLE "x"
 1 1 - SPACE " "
)~"},
    {"sqrt (x+1)", R"~(
0 - BRACKETS ","
 1 0 - SQRT
 1  1 0 - BRACKETS ","
 1  1  1 0 - VARIABLE "x"
 1  1  1 1 - ADD "+"
 1  1  1 2 - NUMBER "1"
 1 1 - SPACE " "
)~"},
    {"sqrt(x+1)", R"~(
0 - BRACKETS ","
 1 0 - SQRT
 1  1 0 - BRACKETS ","
 1  1  1 0 - VARIABLE "x"
 1  1  1 1 - ADD "+"
 1  1  1 2 - NUMBER "1"
)~"},
    {"a : b", R"~(
0 - VARIABLE "a"
1 - NUMBER " :"
2 - SPACE " "
3 - VARIABLE "b"
)~"},
};

// A minus after an operator, an opening bracket or "=" is a sign.
const GoldenCase kNegativeNumbers[] = {
    {"-5", R"~(
0 - NUMBER "-5"
)~"},
    {"- 5", R"~(
0 - SUBTRACT "-"
1 - SPACE " "
2 - NUMBER "5"
)~"},
    {"2*-3", R"~(
0 - NUMBER "2"
1 - MULTIPLY "*"
2 - NUMBER "-3"
)~"},
    {"x = -3", R"~(
0 - VARIABLE "x"
1 - SPACE " "
2 - EQUAL "="
3 - SPACE " "
4 - NUMBER "-3"
)~"},
    {"2-3", R"~(
0 - NUMBER "2"
1 - SUBTRACT "-"
2 - NUMBER "3"
)~"},
    {"x>-3", R"~(
0 - VARIABLE "x"
1 - GREATER ">"
2 - SUBTRACT "-"
3 - NUMBER "3"
)~"},
    {"3.1E-5", R"~(
0 - NUMBER "3.1"
1 - MULTIPLY "*"
2 - NUMBER "10"
3 - POWER
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "-5"
)~"},
    {"2E3", R"~(
0 - NUMBER "2"
1 - MULTIPLY "*"
2 - NUMBER "10"
3 - POWER
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "3"
)~"},
    {"E3", R"~(
0 - VARIABLE "E"
1 - POWER
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "3"
)~"},
};

// Roots, long division, nCr and nPr.
const GoldenCase kConstructs[] = {
    {"3root8", R"~(
0 - BRACKETS ","
 1 0 - ROOT
 1  1 0 - BRACKETS ","
 1  1  1 0 - NUMBER "8"
 1  2 0 - BRACKETS ","
 1  2  1 0 - NUMBER "3"
)~"},
    {"root8", R"~(
0 - BRACKETS ","
 1 0 - ROOT
 1  1 0 - BRACKETS ","
 1  1  1 0 - NUMBER "8"
 1  2 0 - BRACKETS ","
 1  2  1 0 - SPACE " "
)~"},
    {"3root 8", R"~(
0 - BRACKETS ","
 1 0 - ROOT
 1  1 0 - BRACKETS ","
 1  1  1 0 - SPACE " "
 1  2 0 - BRACKETS ","
 1  2  1 0 - NUMBER "3"
1 - SPACE " "
2 - NUMBER "8"
)~"},
    {"nCr", R"~(
0 - BRACKETS ","
 1 0 - COMBINATION
 1  1 0 - BRACKETS ","
 1  1  1 0 - VARIABLE "r"
 1  2 0 - BRACKETS ","
 1  2  1 0 - VARIABLE "n"
)~"},
    {"5C2", R"~(
0 - BRACKETS ","
 1 0 - COMBINATION
 1  1 0 - BRACKETS ","
 1  1  1 0 - NUMBER "2"
 1  2 0 - BRACKETS ","
 1  2  1 0 - NUMBER "5"
)~"},
    {"aCB", R"~(
0 - VARIABLE "a"
1 - ABVECTOR "CB"
)~"},
    {"12div", R"~(
0 - BRACKETS ","
 1 0 - LONGDIV
 1  1 0 - BRACKETS ","
 1  1  1 0 - SPACE " "
 1  2 0 - BRACKETS ","
 1  2  1 0 - NUMBER "12"
)~"},
};

// Constructs whose bounds stand in the typed bracket after them.
const GoldenCase kCodeDrawn[] = {
    {"lim(x->0+)",
     "0 - CODEDRAW2 \"lim\"\n"
     " 1 0 - VARIABLE \"x\"\n"
     " 1 1 - SPACEDSYMBOL \"\xAE""\"\n"
     " 1 2 - NUMBER \"0\"\n"
     " 1 3 - POWER\n"
     " 1  1 0 - ADD \"+\"\n"""},
    {"lim(x->0-)",
     "0 - CODEDRAW2 \"lim\"\n"
     " 1 0 - VARIABLE \"x\"\n"
     " 1 1 - SPACEDSYMBOL \"\xAE""\"\n"
     " 1 2 - NUMBER \"0\"\n"
     " 1 3 - POWER\n"
     " 1  1 0 - SUBTRACT \"-\"\n"""},
    {"box()", R"~(
0 - CODEDRAW2 "box"
 1 0 - SPACE " "
)~"},
    {"box", R"~(
0 - CODEDRAW2 "box"
 1 0 - SPACE " "
)~"},
    {"int(0,1)x dx", R"~(
0 - CODEDRAW2 "int"
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "0"
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "1"
1 - VARIABLE "x"
2 - SPACE " "
3 - VARIABLE "d"
4 - VARIABLE "x"
)~"},
    {"int x", R"~(
0 - CODEDRAW2 "int"
1 - SPACE " "
2 - VARIABLE "x"
)~"},
    {"int(a,b,c)", R"~(
0 - CODEDRAW2 "int"
 1 0 - COLUMN
 1  1 0 - BRACKETS ","
 1  1  1 0 - VARIABLE "a"
 1  2 0 - BRACKETS ","
 1  2  1 0 - VARIABLE "b"
 2 0 - BRACKETS ","
 2  1 0 - VARIABLE "c"
)~"},
    {"sigma(i=1,n)", R"~(
0 - CODEDRAW2 "sigma"
 1 0 - VARIABLE "i"
 1 1 - EQUAL "="
 1 2 - BRACKETS ","
 1  1 0 - NUMBER "1"
 2 0 - BRACKETS ","
 2  1 0 - VARIABLE "n"
)~"},
};

// Automatic vectors and over-arrows.
const GoldenCase kVectors[] = {
    {"AB + CD", R"~(
0 - ABVECTOR "AB"
1 - SPACE " "
2 - ADD "+"
3 - SPACE " "
4 - ABVECTOR "CD"
)~"},
    {"ABC", R"~(
0 - VARIABLE "A"
1 - VARIABLE "B"
2 - VARIABLE "C"
)~"},
    {"aB", R"~(
0 - VARIABLE "a"
1 - VARIABLE "B"
)~"},
    {"a = 3i + 4j", R"~(
0 - LCVECTOR "a"
1 - SPACE " "
2 - EQUAL "="
3 - SPACE " "
4 - NUMBER "3"
5 - LCVECTOR "i"
6 - SPACE " "
7 - ADD "+"
8 - SPACE " "
9 - NUMBER "4"
10 - LCVECTOR "j"
)~"},
    {"x = 3i", R"~(
0 - VARIABLE "x"
1 - SPACE " "
2 - EQUAL "="
3 - SPACE " "
4 - NUMBER "3"
5 - VARIABLE "i"
)~"},
    {"a = 3i + b", R"~(
0 - VARIABLE "a"
1 - SPACE " "
2 - EQUAL "="
3 - SPACE " "
4 - NUMBER "3"
5 - VARIABLE "i"
6 - SPACE " "
7 - ADD "+"
8 - SPACE " "
9 - VARIABLE "b"
)~"},
    {"i + j", R"~(
0 - LCVECTOR "i"
1 - SPACE " "
2 - ADD "+"
3 - SPACE " "
4 - LCVECTOR "j"
)~"},
    {"i + x", R"~(
0 - VARIABLE "i"
1 - SPACE " "
2 - ADD "+"
3 - SPACE " "
4 - VARIABLE "x"
)~"},
    {"<->(a+b)", R"~(
0 - IVBOTH "<->"
 1 0 - BRACKETS ","
 1  1 0 - VARIABLE "a"
 1  1 1 - ADD "+"
 1  1 2 - VARIABLE "b"
)~"},
    {"-->v", R"~(
0 - IVRIGHT "-->"
 1 0 - VARIABLE "v"
)~"},
    {"-->AB", R"~(
0 - IVRIGHT "-->"
1 - ABVECTOR "AB"
)~"},
    {"a-->", R"~(
0 - VARIABLE "a"
1 - IVRIGHT "-->"
)~"},
};

// Marks over letters, digits and bracket groups.
const GoldenCase kMarks[] = {
    {"x::", R"~(
0 - MODIFIER "::"
 1 0 - VARIABLE "x"
)~"},
    {"x_^^", R"~(
0 - MODIFIER "_"
 1 0 - VARIABLE "x"
1 - MODIFIER "^^"
 1 0 - SPACE " "
)~"},
    {"ab::", R"~(
0 - VARIABLE "a"
1 - MODIFIER "::"
 1 0 - VARIABLE "b"
)~"},
    {"0.3_45", R"~(
0 - NUMBER "0.3"
1 - MODIFIER "_"
 1 0 - NUMBER "45"
)~"},
    {"0.3_", R"~(
0 - NUMBER "0."
1 - MODIFIER "_"
 1 0 - NUMBER "3"
)~"},
    {"5::", R"~(
0 - NUMBER
1 - MODIFIER "::"
 1 0 - NUMBER "5"
)~"},
    {"._3", R"~(
0 - QUOTED "."
1 - MODIFIER "_"
 1 0 - NUMBER "3"
)~"},
    {"(12)_", R"~(
0 - BRACKETS
 1 0 - NUMBER "12"
)~"},
};

// Bracket groups, matched or not.
const GoldenCase kBrackets[] = {
    // Bars pair only inside the bracket group they are typed in.
    {"P(A|B)=P(AB)/P(B)", R"~(
0 - VARIABLE "P"
1 - BRACKETS "(,)"
 1 0 - VARIABLE "A"
 1 1 - RAW "|"
 1 2 - VARIABLE "B"
2 - EQUAL "="
3 - VARIABLE "P"
4 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - ABVECTOR "AB"
 2 0 - BRACKETS ","
 2  1 0 - VARIABLE "P"
5 - BRACKETS "(,)"
 1 0 - VARIABLE "B"
)~"},
    {"|(a|b)|", R"~(
0 - BRACKETS "|,|"
 1 0 - BRACKETS "(,)"
 1  1 0 - VARIABLE "a"
 1  1 1 - RAW "|"
 1  1 2 - VARIABLE "b"
)~"},
    {"(a+b", R"~(
0 - BRACKETS "(,"
 1 0 - VARIABLE "a"
 1 1 - ADD "+"
 1 2 - VARIABLE "b"
)~"},
    {"()", R"~(
0 - BRACKETS "(,)"
 1 0 - SPACE " "
)~"},
    {"|[x]|", R"~(
0 - BRACKETS "|[,]|"
 1 0 - VARIABLE "x"
)~"},
    {"a)b", R"~(
0 - VARIABLE "a"
1 - CLOSE ")"
2 - VARIABLE "b"
)~"},
    {"(a]", R"~(
0 - BRACKETS "(,]"
 1 0 - VARIABLE "a"
)~"},
    {"{x#", R"~(
0 - BRACKETS "{,#"
 1 0 - VARIABLE "x"
)~"},
    {"|a|b|c|", R"~(
0 - BRACKETS "|,|"
 1 0 - VARIABLE "a"
1 - VARIABLE "b"
2 - BRACKETS "|,|"
 1 0 - VARIABLE "c"
)~"},
};

// Columns, matrices and evaluation limits.
const GoldenCase kColumns[] = {
    {"1,2,3", R"~(
0 - COLUMN
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "1"
 2 0 - COLUMN
 2  1 0 - BRACKETS ","
 2  1  1 0 - NUMBER "2"
 2  2 0 - BRACKETS ","
 2  2  1 0 - NUMBER "3"
)~"},
    {"1,x^2", R"~(
0 - COLUMN
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "1"
 2 0 - BRACKETS ","
 2  1 0 - VARIABLE "x"
 2  1 1 - POWER
 2  1  1 0 - BRACKETS ","
 2  1  1  1 0 - NUMBER "2"
)~"},
    {"(x^2,y^2)", R"~(
0 - BRACKETS "(,)"
 1 0 - COLUMN
 1  1 0 - BRACKETS ","
 1  1  1 0 - VARIABLE "x"
 1  1  1 1 - POWER
 1  1  1  1 0 - BRACKETS ","
 1  1  1  1  1 0 - NUMBER "2"
 1  2 0 - BRACKETS ","
 1  2  1 0 - VARIABLE "y"
 1  2  1 1 - POWER
 1  2  1  1 0 - BRACKETS ","
 1  2  1  1  1 0 - NUMBER "2"
)~"},
    {"(1,2 3,4)", R"~(
0 - BRACKETS "(,)"
 1 0 - MATRIX
 1  1 0 - BRACKETS ","
 1  1  1 0 - NUMBER "1"
 1  1 1 - BRACKETS ","
 1  1  1 0 - NUMBER "2"
 1  1 2 - SPACE " "
 1  1 3 - BRACKETS ","
 1  1  1 0 - NUMBER "3"
 1  1 4 - BRACKETS ","
 1  1  1 0 - NUMBER "4"
)~"},
    {"(1,2 3,4,5)", R"~(
0 - BRACKETS "(,)"
 1 0 - MATRIX
 1  1 0 - BRACKETS ","
 1  1  1 0 - NUMBER "1"
 1  1 1 - BRACKETS ","
 1  1  1 0 - NUMBER "2"
 1  1 2 - BRACKETS
 1  1 3 - SPACE " "
 1  1 4 - BRACKETS ","
 1  1  1 0 - NUMBER "3"
 1  1 5 - BRACKETS ","
 1  1  1 0 - NUMBER "4"
 1  1 6 - BRACKETS ","
 1  1  1 0 - NUMBER "5"
)~"},
    {"[F(x)](a,b)", R"~(
0 - BRACKETS "[,]"
 1 0 - VARIABLE "F"
 1 1 - BRACKETS "(,)"
 1  1 0 - VARIABLE "x"
 2 0 - BRACKETS ","
 2  1 0 - VARIABLE "b"
 2 1 - BRACKETS ","
 2  1 0 - VARIABLE "a"
)~"},
    {"),1 ", R"~(
0 - CLOSE
1 - COLUMN
 1 0 - SPACE " "
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "1"
2 - CLOSE
3 - SPACE " "
)~"},
};

// Mixed numbers with the default options (small fraction).
const GoldenCase kMixedNumbers[] = {
    {"2 1/2", R"~(
0 - NUMBER "2"
1 - ERROR
2 - SMALLFRACTION
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "1"
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "2"
)~"},
    {"x 1/2", R"~(
0 - VARIABLE "x"
1 - SPACE " "
2 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "1"
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "2"
)~"},
    {"2.5 1/2", R"~(
0 - NUMBER "2.5"
1 - SPACE " "
2 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "1"
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "2"
)~"},
    {"(2 1/2)", R"~(
0 - BRACKETS "(,)"
 1 0 - NUMBER "2"
 1 1 - SPACE " "
 1 2 - FRACTION
 1  1 0 - BRACKETS ","
 1  1  1 0 - NUMBER "1"
 1  2 0 - BRACKETS ","
 1  2  1 0 - NUMBER "2"
)~"},
};

// Typed round, square and curly brackets around an operand vanish; bars
// are part of the operand and keep their text.
const GoldenCase kTypedBracketOperands[] = {
    {"x^{2n}", R"~(
0 - VARIABLE "x"
1 - POWER
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "2"
 1  1 1 - VARIABLE "n"
)~"},
    {"sqrt[x+1]", R"~(
0 - BRACKETS ","
 1 0 - SQRT
 1  1 0 - BRACKETS ","
 1  1  1 0 - VARIABLE "x"
 1  1  1 1 - ADD "+"
 1  1  1 2 - NUMBER "1"
)~"},
    {"3root[8]", R"~(
0 - BRACKETS ","
 1 0 - ROOT
 1  1 0 - BRACKETS ","
 1  1  1 0 - NUMBER "8"
 1  2 0 - BRACKETS ","
 1  2  1 0 - NUMBER "3"
)~"},
    {"x\\[ab]", R"~(
0 - VARIABLE "x"
1 - SUBSCRIPT
 1 0 - BRACKETS ","
 1  1 0 - VARIABLE "a"
 1  1 1 - VARIABLE "b"
)~"},
    {"|x|/2", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - BRACKETS "|,|"
 1  1  1 0 - VARIABLE "x"
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "2"
)~"},
    {"2/[a]", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "2"
 2 0 - BRACKETS ","
 2  1 0 - VARIABLE "a"
)~"},
    {"{a}/2", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - VARIABLE "a"
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "2"
)~"},
    {"2/|x|^2", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "2"
 2 0 - BRACKETS ","
 2  1 0 - BRACKETS "|,|"
 2  1  1 0 - VARIABLE "x"
 2  1 1 - POWER
 2  1  1 0 - BRACKETS ","
 2  1  1  1 0 - NUMBER "2"
)~"},
    {"a]/2", R"~(
0 - VARIABLE "a"
1 - CLOSE
2 - FRACTION
 1 0 - SPACE " "
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "2"
3 - CLOSE
)~"},
    {"|x|,2", R"~(
0 - COLUMN
 1 0 - BRACKETS ","
 1  1 0 - BRACKETS "|,|"
 1  1  1 0 - VARIABLE "x"
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "2"
)~"},
    {"x^|a|", R"~(
0 - VARIABLE "x"
1 - POWER
 1 0 - BRACKETS "|,|"
 1  1 0 - VARIABLE "a"
)~"},
    {"x\\|a|", R"~(
0 - VARIABLE "x"
1 - SUBSCRIPT
 1 0 - BRACKETS "|,|"
 1  1 0 - VARIABLE "a"
)~"},
    {"sqrt|x|", R"~(
0 - BRACKETS ","
 1 0 - SQRT
 1  1 0 - BRACKETS "|,|"
 1  1  1 0 - VARIABLE "x"
)~"},
    {"sin|x|", R"~(
0 - BRACKETS ","
 1 0 - FUNCTION "sin"
 1 1 - BRACKETS "|,|"
 1  1 0 - VARIABLE "x"
)~"},
    {"3root|x|", R"~(
0 - BRACKETS ","
 1 0 - ROOT
 1  1 0 - BRACKETS "|,|"
 1  1  1 0 - VARIABLE "x"
 1  2 0 - BRACKETS ","
 1  2  1 0 - NUMBER "3"
)~"},
    {"|a|C|b|", R"~(
0 - BRACKETS ","
 1 0 - COMBINATION
 1  1 0 - BRACKETS "|,|"
 1  1  1 0 - VARIABLE "b"
 1  2 0 - BRACKETS "|,|"
 1  2  1 0 - VARIABLE "a"
)~"},
    {"-->|x|", R"~(
0 - IVRIGHT "-->"
 1 0 - BRACKETS "|,|"
 1  1 0 - VARIABLE "x"
)~"},
    {"int|x|", R"~(
0 - CODEDRAW2 "int"
1 - BRACKETS "|,|"
 1 0 - VARIABLE "x"
)~"},
    // Square brackets and braces still give a drawn construct its bounds.
    {"int[0,1]x", R"~(
0 - CODEDRAW2 "int"
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "0"
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "1"
1 - VARIABLE "x"
)~"},
};

// Operands whose typed opening bracket is never closed: each such group
// runs to the row's end, nested in the one before it.
const GoldenCase kUnclosedBracketOperands[] = {
    {"1/(1/(1/(a", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "1"
 2 0 - BRACKETS "(,"
 2  1 0 - FRACTION
 2  1  1 0 - BRACKETS ","
 2  1  1  1 0 - NUMBER "1"
 2  1  2 0 - BRACKETS "(,"
 2  1  2  1 0 - FRACTION
 2  1  2  1  1 0 - BRACKETS ","
 2  1  2  1  1  1 0 - NUMBER "1"
 2  1  2  1  2 0 - BRACKETS "(,"
 2  1  2  1  2  1 0 - VARIABLE "a"
)~"},
    {"1/(a/((b)", R"~(
0 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "1"
 2 0 - BRACKETS "(,"
 2  1 0 - FRACTION
 2  1  1 0 - BRACKETS ","
 2  1  1  1 0 - VARIABLE "a"
 2  1  2 0 - BRACKETS "(,"
 2  1  2  1 0 - BRACKETS "(,)"
 2  1  2  1  1 0 - VARIABLE "b"
)~"},
    {"(x/(1/(a)/(b", R"~(
0 - BRACKETS "(,"
 1 0 - FRACTION
 1  1 0 - BRACKETS ","
 1  1  1 0 - VARIABLE "x"
 1  2 0 - BRACKETS "(,"
 1  2  1 0 - FRACTION
 1  2  1  1 0 - BRACKETS ","
 1  2  1  1  1 0 - NUMBER "1"
 1  2  1  2 0 - FRACTION
 1  2  1  2  1 0 - BRACKETS ","
 1  2  1  2  1  1 0 - VARIABLE "a"
 1  2  1  2  2 0 - BRACKETS "(,"
 1  2  1  2  2  1 0 - VARIABLE "b"
)~"},
    {"a,(b,(c", R"~(
0 - COLUMN
 1 0 - BRACKETS ","
 1  1 0 - VARIABLE "a"
 2 0 - BRACKETS "(,"
 2  1 0 - COLUMN
 2  1  1 0 - BRACKETS ","
 2  1  1  1 0 - VARIABLE "b"
 2  1  2 0 - BRACKETS "(,"
 2  1  2  1 0 - VARIABLE "c"
)~"},
};

void ExpectAll(const GoldenCase* cases, size_t count) {
  for (size_t i = 0; i < count; ++i) ExpectDump(cases[i].text, cases[i].tree);
}

#define GOLDEN_TEST(Group) \
  TEST(ParseGolden, Group) { ExpectAll(k##Group, sizeof(k##Group) / sizeof(k##Group[0])); }

GOLDEN_TEST(Fractions)
GOLDEN_TEST(Scripts)
GOLDEN_TEST(ImplicitPowers)
GOLDEN_TEST(NegativeNumbers)
GOLDEN_TEST(Constructs)
GOLDEN_TEST(CodeDrawn)
GOLDEN_TEST(Vectors)
GOLDEN_TEST(Marks)
GOLDEN_TEST(Brackets)
GOLDEN_TEST(Columns)
GOLDEN_TEST(MixedNumbers)
GOLDEN_TEST(TypedBracketOperands)
GOLDEN_TEST(UnclosedBracketOperands)
#undef GOLDEN_TEST

// Switches and options that change the tree.
TEST(ParseGoldenOptions, WholeNumberSwitch) {
  QVMOptions options(0);
  options.ParseSwitches[18] = true;
  ExpectDump("2 1/2", R"~(
0 - WHOLENUMBER "2"
1 - ERROR
2 - FRACTION
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "1"
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "2"
)~", options);
}

TEST(ParseGoldenOptions, NoColumnDetection) {
  QVMOptions options(0);
  options.DetectColumnVectors.Value = false;
  ExpectDump("1,2", "0 - NUMBER \"1\"\n1 - SEPARATOR \",\"\n2 - NUMBER \"2\"\n", options);
}

TEST(ParseGoldenOptions, NoMatrixSwitch) {
  QVMOptions options(0);
  options.ParseSwitches[6] = false;
  ExpectDump("1,2 3,4", R"~(
0 - COLUMN
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "1"
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "2"
1 - SPACE " "
2 - COLUMN
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "3"
 2 0 - BRACKETS ","
 2  1 0 - NUMBER "4"
)~", options);
}

TEST(ParseGoldenOptions, NoBracketColumns) {
  QVMOptions options(0);
  options.ParseSwitches[17] = false;
  EquationLine line;
  line.SetText("[F](a,b)", options);
  ASSERT_EQ(line.Root().GetSize(), 2);
  EXPECT_TRUE(line.Root().GetAt(0)->row2.IsEmpty());
  EXPECT_EQ(line.Root().GetAt(1)->row1.KindAt(0), TK_COLUMN);
}

// A tab pasted into the text parses as the tab mark typed for Tab (switch
// 11 makes it a tab token, without it both stay text alike); the line keeps
// the text as it was given.
TEST(ParseGoldenOptions, PastedTabIsTheTabMark) {
  for (const bool tabs : {true, false}) {
    QVMOptions options(0);
    options.ParseSwitches[11] = tabs;
    EXPECT_EQ(DumpOf("a\tb", options), DumpOf("a\xBB" "b", options)) << tabs;
  }
  QVMOptions options(0);
  EquationLine line;
  line.SetText("a\tb", options);
  EXPECT_EQ(line.Root().KindAt(1), TK_TAB);
  EXPECT_EQ(line.GetText(), CString("a\tb"));
}

TEST(ParseGoldenOptions, ENotationSwitchOff) {
  QVMOptions options(0);
  options.ParseSwitches[3] = false;
  // Without the rewrite, the 3 after the letter is an implicit power.
  ExpectDump("2E3", R"~(
0 - NUMBER "2"
1 - VARIABLE "E"
2 - POWER
 1 0 - BRACKETS ","
 1  1 0 - NUMBER "3"
)~", options);
}

TEST(ParseGoldenOptions, SelectedLowerCaseVectors) {
  QVMOptions options(0);
  options.LowerCase.Value = 2;
  for (QVOptionBool& letter : options.Letters) letter.Value = false;
  options.Letters['v' - 'a'].Value = true;
  ExpectDump("v = u", "0 - LCVECTOR \"v\"\n1 - SPACE \" \"\n2 - EQUAL \"=\"\n3 - SPACE \" \"\n"
                      "4 - VARIABLE \"u\"\n", options);
}

// The bar over a bracket group is its mark; the brackets are no longer drawn.
TEST(ParseGoldenOptions, BarOverGroup) {
  EquationLine line;
  line.SetText("(12)_", QVMOptions(0));
  ASSERT_EQ(line.Root().GetSize(), 1);
  EXPECT_EQ(line.Root().GetAt(0)->mark, kMarkUnderscore);
  EXPECT_EQ(line.Root().TextAt(0), "");
}

// Bars under the bar keep their text: "|12|_" is not "(12)_".
TEST(ParseGoldenOptions, BarOverAbsoluteValue) {
  EquationLine line;
  line.SetText("|12|_", QVMOptions(0));
  ASSERT_EQ(line.Root().GetSize(), 1);
  EXPECT_EQ(line.Root().GetAt(0)->mark, kMarkUnderscore);
  EXPECT_EQ(line.Root().TextAt(0), "|,|");
}

// A drawn construct inside another one is split once: its second typed
// bracket stays a bracket group instead of replacing its bounds.
TEST(ParseGoldenOptions, NestedDrawnConstructKeepsItsBounds) {
  ExpectDump("box(int(a)(b))", R"~(
0 - CODEDRAW2 "box"
 1 0 - CODEDRAW2 "int"
 1  1 0 - VARIABLE "a"
 1 1 - BRACKETS "(,)"
 1  1 0 - VARIABLE "b"
)~");
}

// "(1,2,...,n 1,...)" with `rows` entries in its first column.
std::string MatrixText(int rows, int columns) {
  std::string text = "(";
  for (int c = 0; c < columns; ++c) {
    for (int r = 0; r < (c == 0 ? rows : 2); ++r) text += (r > 0 ? "," : "") + std::to_string(r);
    text += c + 1 < columns ? " " : ")";
  }
  return text;
}

TokenKind InnerKind(const std::string& text) {
  EquationLine line;
  line.SetText(CString(text), QVMOptions(0));
  return line.Root().GetAt(0)->row1.KindAt(0);
}

// The layout's tables hold 20 rows and 20 columns; a larger grid stays a
// row of columns.
TEST(ParseGoldenOptions, MatrixLimits) {
  EXPECT_EQ(InnerKind(MatrixText(20, 2)), TK_MATRIX);
  EXPECT_EQ(InnerKind(MatrixText(21, 2)), TK_COLUMN);
  EXPECT_EQ(InnerKind(MatrixText(2, 20)), TK_MATRIX);
  EXPECT_EQ(InnerKind(MatrixText(2, 21)), TK_COLUMN);
}

}  // namespace
