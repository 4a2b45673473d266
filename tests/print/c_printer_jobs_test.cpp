#include "print/c_printer_jobs.h"

#include <gtest/gtest.h>

#include "fake_queue.h"

namespace {

using printtest::FakeJobSource;
using printtest::FakeQueue;
using printtest::job;

class PrinterJobsTest : public ::testing::Test {
 protected:
  std::shared_ptr<FakeQueue> queue_ = std::make_shared<FakeQueue>();
  print::CPrinterJobs jobs_{std::make_unique<FakeJobSource>(queue_)};
};

// Across refreshes a job keeps one entry with the largest size and page count seen (while it
// prints, the queue reports less of it); a job that left is removed and the rest keep queue
// order. The count alone reads the queue, so that the items match it.
TEST_F(PrinterJobsTest, refresh_keepsLargestValuesAndDropsJobsThatLeft) {
  jobs_.setDeviceName("Buero-Drucker");
  EXPECT_EQ(jobs_.Count(), 0);
  queue_->jobs = {job(3, "erster", 100), job(42, "Quelbrix - 000123GN.docx", 9216, 3),
                  job(5, "dritter", 300)};
  ASSERT_EQ(jobs_.Count(), 3);
  EXPECT_EQ(jobs_.Item(3).Document(), "dritter");

  queue_->jobs = {job(42, "Quelbrix - 000123GN.docx", 1024, 1), job(5, "dritter", 300)};
  jobs_.Refresh();
  ASSERT_EQ(jobs_.Count(), 2);
  const auto& info = jobs_.Item(1);
  EXPECT_EQ(info.JobId(), 42);
  EXPECT_EQ(info.size(), 1024);
  EXPECT_EQ(info.SizeMax(), 9216);
  EXPECT_EQ(info.TotalPagesMax(), 3);
  EXPECT_EQ(jobs_.Item(2).Document(), "dritter");
  EXPECT_THROW(jobs_.Item("3"), std::out_of_range);

  queue_->jobs = {job(42, "Quelbrix - 000123GN.docx", 20480, 5)};
  jobs_.Refresh();
  EXPECT_EQ(jobs_.Item(1).SizeMax(), 20480);
  EXPECT_EQ(jobs_.Item(1).TotalPagesMax(), 5);
}

TEST_F(PrinterJobsTest, deviceName_noPrinterOrEmptyQueue_leavesEmptyListWithoutError) {
  queue_->jobs = {job(1, "fremder Auftrag", 100)};
  EXPECT_NO_THROW(jobs_.setDeviceName("Kein-Drucker"));
  EXPECT_EQ(jobs_.DeviceName(), "Kein-Drucker");
  EXPECT_EQ(jobs_.Count(), 0);
  EXPECT_THROW(jobs_.Item(1), std::out_of_range);

  // A list from a readable queue is dropped when the queue empties or stops answering.
  jobs_.setDeviceName("Buero-Drucker");
  ASSERT_EQ(jobs_.Count(), 1);
  const auto kept = queue_->jobs;
  queue_->jobs.clear();
  jobs_.Refresh();
  EXPECT_EQ(jobs_.Count(), 0);
  EXPECT_THROW(jobs_.Item(1), std::out_of_range);
  queue_->jobs = kept;
  ASSERT_EQ(jobs_.Count(), 1);
  queue_->readable = false;
  jobs_.Refresh();
  EXPECT_EQ(jobs_.Count(), 0);
}

TEST_F(PrinterJobsTest, item_byHexadecimalKey_findsJobAndRejectsLowerCase) {
  queue_->jobs = {job(255, "a", 1), job(4096, "b", 2)};
  jobs_.setDeviceName("Buero-Drucker");
  EXPECT_EQ(jobs_.Item("FF").Document(), "a");
  EXPECT_EQ(jobs_.Item("1000").Document(), "b");
  EXPECT_EQ(jobs_.Item(2).JobId(), 4096);
  EXPECT_THROW(jobs_.Item("ff"), std::out_of_range);
  EXPECT_THROW(jobs_.Item(0), std::out_of_range);
  EXPECT_THROW(jobs_.Item(3), std::out_of_range);
  EXPECT_EQ(print::jobKey(-1), "FFFFFFFF");
}

}  // namespace
