# Writes a short interpretation from the sample texts (interpretation file 1).
PutTxt "Interpretation"
PutTxt "=============="
PutAstroTxt intro 1 -fromidstr -nocomments
foreach id {sun_aries moon_cancer} {
    PutAstroTxt [AstroIdStr2nTxt $id 1] 1 -nocomments
}
PutAstroTxt closing 1 -fromidstr -notitle
