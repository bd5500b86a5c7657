#include "zt4/ArchiverZT4.h"

#include "log/LogFile.h"
#include "zt4/ScaleSignature.h"
#include "zt4/XmlParse.h"

namespace tv {

bool CArchiverZT4::GetArchiveFolderName(std::string& name) const {
    name = folderName;
    return true;
}

bool CArchiverZT4::VerifySignatureBlock(const WormBlock& block, int& result) {
    CXmlParse xml;
    if (block.contentLength != 0 && block.bytes.size() >= size_t{block.contentLength} + 4) {
        xml.Load(block.bytes.data() + 4, block.contentLength);
        if (xml.Parse() == CXmlParse::kOk &&
            VerifyZt4SignatureBlock(xml.SignatureText(), xml.PublicKeyText(), block.previousHash)) {
            return true;
        }
    }
    TV_LOG_ERROR(kModArchiverZt4, "Signature verification failed");
    result = kArchiveDataCheckFailed;
    return false;
}

bool CArchiverZT4::CreateArchive(uint32_t, uint32_t, uint32_t, int&, ProgressView*, ResultList*, StatusView*) {
    return OperationNotAvailable(kModArchiverZt4, "Writing ZT4 archives");
}

bool CArchiverZT4::MakeArchiveName(std::string&, int&) {
    return OperationNotAvailable(kModArchiverZt4, "Naming ZT4 archives");
}

}  // namespace tv
