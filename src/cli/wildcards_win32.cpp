// cmd.exe hands "*.bas" over as it is; Windows programs expand wildcards in
// their own arguments. This switches on the MinGW start-up code's expansion.
int _dowildcard = -1;
