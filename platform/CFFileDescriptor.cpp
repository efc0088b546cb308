#include "platform/CFFileDescriptor.h"

#include <unistd.h>

#include "platform/detail/RunLoopObjects.h"

namespace platform_detail {

FileDescriptor::FileDescriptor(int fd, bool closeOnInvalidate, CFFileDescriptorCallBack callout,
                               const CFFileDescriptorContext* context)
    : CFObject(ClassOf<FileDescriptor>(), false),
      mFd(fd),
      mCloseOnInvalidate(closeOnInvalidate),
      mCallout(callout),
      mContext(context ? *context
                       : CFFileDescriptorContext{0, nullptr, nullptr, nullptr, nullptr}) {
  if (mContext.retain) mContext.info = mContext.retain(mContext.info);
}

FileDescriptor::~FileDescriptor() {
  Invalidate();
  if (mContext.release) mContext.release(mContext.info);
}

void FileDescriptor::Invalidate() {
  if (!mValid) return;
  mValid = false;
  mEnabled = 0;
  if (mSource) CFRunLoopSourceInvalidate(mSource->Ref());
  if (mCloseOnInvalidate) close(mFd);
}

}  // namespace platform_detail

using platform_detail::As;
using platform_detail::FileDescriptor;
using platform_detail::RunLoopSource;

CFTypeID CFFileDescriptorGetTypeID(void) {
  return platform_detail::kFileDescriptorTypeID;
}

CFFileDescriptorRef CFFileDescriptorCreate(CFAllocatorRef, CFFileDescriptorNativeDescriptor fd,
                                           Boolean closeOnInvalidate,
                                           CFFileDescriptorCallBack callout,
                                           const CFFileDescriptorContext* context) {
  if (fd < 0) return nullptr;
  return (new FileDescriptor(fd, closeOnInvalidate, callout, context))->Ref();
}

CFFileDescriptorNativeDescriptor CFFileDescriptorGetNativeDescriptor(CFFileDescriptorRef f) {
  const FileDescriptor* descriptor = As<FileDescriptor>(f);
  return descriptor ? descriptor->mFd : -1;
}

void CFFileDescriptorEnableCallBacks(CFFileDescriptorRef f, CFOptionFlags callBackTypes) {
  FileDescriptor* descriptor = As<FileDescriptor>(f);
  if (!descriptor || !descriptor->mValid) return;
  descriptor->mEnabled |=
      callBackTypes & (kCFFileDescriptorReadCallBack | kCFFileDescriptorWriteCallBack);
  // A loop waiting without this descriptor must start watching it.
  if (descriptor->mSource && descriptor->mSource->mItem.loop)
    descriptor->mSource->mItem.loop->WakeUp();
}

void CFFileDescriptorDisableCallBacks(CFFileDescriptorRef f, CFOptionFlags callBackTypes) {
  if (FileDescriptor* descriptor = As<FileDescriptor>(f)) descriptor->mEnabled &= ~callBackTypes;
}

void CFFileDescriptorInvalidate(CFFileDescriptorRef f) {
  if (FileDescriptor* descriptor = As<FileDescriptor>(f)) descriptor->Invalidate();
}

Boolean CFFileDescriptorIsValid(CFFileDescriptorRef f) {
  const FileDescriptor* descriptor = As<FileDescriptor>(f);
  return descriptor && descriptor->mValid;
}

CFRunLoopSourceRef CFFileDescriptorCreateRunLoopSource(CFAllocatorRef, CFFileDescriptorRef f,
                                                       CFIndex order) {
  FileDescriptor* descriptor = As<FileDescriptor>(f);
  if (!descriptor || !descriptor->mValid) return nullptr;
  if (descriptor->mSource)
    return static_cast<CFRunLoopSourceRef>(const_cast<void*>(CFRetain(descriptor->mSource->Ref())));
  descriptor->mSource = new RunLoopSource(descriptor, order);
  return descriptor->mSource->Ref();
}
