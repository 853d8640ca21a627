-- Transfer syntaxes offered for DICOM transfers, in order of preference.

INSERT INTO "dcmTransferSyntax" ("UID", name, deleted) VALUES ('1.2.840.10008.1.2.1', 'Explicit VR Little Endian', FALSE);
INSERT INTO "dcmTransferSyntax" ("UID", name, deleted) VALUES ('1.2.840.10008.1.2.2', 'Explicit VR Big Endian', FALSE);
INSERT INTO "dcmTransferSyntax" ("UID", name, deleted) VALUES ('1.2.840.10008.1.2', 'Implicit VR Little Endian', FALSE);
INSERT INTO "dcmTransferSyntax" ("UID", name, deleted) VALUES ('1.2.840.10008.1.2.4.57', 'JPEG Lossless', FALSE);
INSERT INTO "dcmTransferSyntax" ("UID", name, deleted) VALUES ('1.2.840.10008.1.2.4.70', 'JPEG Lossless SV1', FALSE);
INSERT INTO "dcmTransferSyntax" ("UID", name, deleted) VALUES ('1.2.840.10008.1.2.5', 'RLE Lossless', FALSE);
