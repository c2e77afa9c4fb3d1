// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>

struct evp_md_ctx_st; // OpenSSL's digest context

namespace word {

enum class DigestAlgorithm { Sha256, Md5 };

// A running digest of a file's bytes. Goes through OpenSSL's libcrypto (already loaded with libzip),
// whose SHA-256 uses the processor's SHA instructions: several times the speed of a portable one, which
// matters when every byte of a large collection is hashed.
class FileDigest {
public:
    explicit FileDigest(DigestAlgorithm algorithm);
    ~FileDigest();
    FileDigest(const FileDigest &) = delete;
    FileDigest &operator=(const FileDigest &) = delete;

    void add(const char *data, qsizetype length);
    void add(const QByteArray &bytes) { add(bytes.constData(), bytes.size()); }
    // The digest's raw bytes; the object is spent afterwards.
    QByteArray result();

private:
    ::evp_md_ctx_st *m_context;
};

} // namespace word
