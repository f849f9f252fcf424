Sub A() Export
