-- Cryptographic functions used to keep personal data encrypted.

CREATE EXTENSION IF NOT EXISTS pgcrypto;
