#include "controls/pictures/raw_picture.h"

#include "controls/pictures/picture_decoding.h"

namespace panel {

TRawPicture::TRawPicture() = default;
TRawPicture::~TRawPicture() = default;

void TRawPicture::Forget() {
    empty_ = true;
    picture_.reset();
}

void TRawPicture::DecodePicture() { picture_ = DecodePictureData(data_.Bytes()); }

void TRawPicture::TakeData(ui::TStream& stream) {
    // A picture is the whole stream, wherever its position stands.
    stream.Seek(0, ui::TSeekOrigin::soBeginning);
    data_.LoadFromStream(stream);
    DecodeData();
}

void TRawPicture::DecodeData() {
    // Only data that decodes makes a picture: one that fails stays empty (its bytes are kept),
    // so that nothing takes room for a picture that cannot be shown.
    DecodePicture();
    empty_ = false;
}

void TRawPicture::CopyData(const TRawPicture& other) {
    data_.Clear();
    other.data_.SaveToStream(data_);
    data_.Seek(0, ui::TSeekOrigin::soBeginning);
    if (other.empty_) return;
    DecodeData();
}

int TRawPicture::Width() const { return DecodedWidth(picture_.get()); }
int TRawPicture::Height() const { return DecodedHeight(picture_.get()); }

void TRawPicture::LoadFromFile(const std::string& file_name) {
    try {
        ui::TFileStream stream(file_name, ui::fmOpenRead | ui::fmShareDenyWrite);
        Forget();
        TakeData(stream);
        Changed();
    } catch (const std::exception&) {
        Forget();
    }
}

void TRawPicture::LoadFromStream(ui::TStream& stream) {
    ReadData(stream);
    Changed();
}

void TRawPicture::ReadData(ui::TStream& stream) {
    Forget();
    TakeData(stream);
}

void TRawPicture::SaveToStream(ui::TStream& stream) const { data_.SaveToStream(stream); }

}  // namespace panel
