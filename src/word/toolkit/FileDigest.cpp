// SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "word/toolkit/FileDigest.h"
#include <new>
#include <openssl/evp.h>

namespace word {

FileDigest::FileDigest(DigestAlgorithm algorithm) : m_context(EVP_MD_CTX_new())
{
    if (m_context == nullptr)
        throw std::bad_alloc();
    const EVP_MD *md = algorithm == DigestAlgorithm::Sha256 ? EVP_sha256() : EVP_md5();
    if (EVP_DigestInit_ex(m_context, md, nullptr) != 1) {
        EVP_MD_CTX_free(m_context);
        throw std::bad_alloc();
    }
}

FileDigest::~FileDigest() { EVP_MD_CTX_free(m_context); }

void FileDigest::add(const char *data, qsizetype length)
{
    if (length > 0)
        EVP_DigestUpdate(m_context, data, static_cast<size_t>(length));
}

QByteArray FileDigest::result()
{
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(m_context, out, &length);
    return QByteArray(reinterpret_cast<const char *>(out), static_cast<qsizetype>(length));
}

} // namespace word
