-- The default abstract syntax accepts the three uncompressed transfer syntaxes.

INSERT INTO "dcmAbstractSyntax" ("UID", "IdTransferSyntax") VALUES ('default', 1);
INSERT INTO "dcmAbstractSyntax" ("UID", "IdTransferSyntax") VALUES ('default', 2);
INSERT INTO "dcmAbstractSyntax" ("UID", "IdTransferSyntax") VALUES ('default', 3);
